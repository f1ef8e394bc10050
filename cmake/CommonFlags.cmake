# Shared compiler settings for every target of the project. Targets link rez_flags
# privately; nothing else sets warning or safety flags.
add_library(rez_flags INTERFACE)
target_compile_features(rez_flags INTERFACE cxx_std_20)

if(MSVC)
  target_compile_options(rez_flags INTERFACE /W4 /utf-8 /permissive-)
  if(REZ_WARNINGS_AS_ERRORS)
    target_compile_options(rez_flags INTERFACE /WX)
  endif()
else()
  target_compile_options(rez_flags INTERFACE
    -Wall -Wextra -Wpedantic -Wold-style-cast -Woverloaded-virtual -Wnon-virtual-dtor
    -Wshadow -Wimplicit-fallthrough)
  if(REZ_WARNINGS_AS_ERRORS)
    target_compile_options(rez_flags INTERFACE -Werror)
  endif()
endif()

# Qt string and connection safety: no implicit const char* -> QString, no narrowing in
# connect, no context-free connections.
target_compile_definitions(rez_flags INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_FOREACH
  QT_STRICT_ITERATORS)

if(REZ_SANITIZE)
  target_compile_options(rez_flags INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(rez_flags INTERFACE -fsanitize=address,undefined)
endif()

# Test helper: registers a GoogleTest binary with ctest, each test with a 120 s limit and
# the headless Qt platform.
function(rez_add_gtest target)
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()

if(REZ_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (configure with the 'fuzz' preset)")
  endif()
  target_compile_options(rez_flags INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(rez_flags INTERFACE -fsanitize=address,undefined)
endif()

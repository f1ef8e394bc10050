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
  # GCC 12 at -O3 warns of overlapping copies inside std::string's operator+ that cannot
  # happen (a known false positive of that release).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
     AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(rez_flags INTERFACE -Wno-restrict)
  endif()
endif()

# Windows headers: no min/max macros, the lean set, and the wide-character (UTF-16) calls.
if(WIN32)
  target_compile_definitions(rez_flags INTERFACE NOMINMAX WIN32_LEAN_AND_MEAN UNICODE _UNICODE)
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

# Under Wine the headless platform finds its fonts in one folder (QT_QPA_FONTDIR), not
# through fontconfig: the same Liberation files the Linux tests draw with.
set(REZ_TEST_FONT_ENVIRONMENT "")
if(WIN32)
  set(REZ_TEST_FONT_ENVIRONMENT ";QT_QPA_FONTDIR=Z:/usr/share/fonts/truetype/liberation2")
endif()

# Test helper: registers a GoogleTest binary with ctest, each test with a 120 s limit and
# the headless Qt platform (under Wine: the whole binary as one test).
#   rez_add_gtest(target [TEST_FILTER pattern] [PROPERTIES name value ...])
# registers only the tests that match the pattern, with the extra properties (a target may be
# registered several times with disjoint patterns).
# On Windows the tests named in REZ_NOT_ON_WINDOWS (a list of GoogleTest patterns, set before
# the call, each with its reason beside it) are left out.
function(rez_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TEST_FILTER" "PROPERTIES")
  set(pattern "${arg_TEST_FILTER}")
  if(WIN32 AND REZ_NOT_ON_WINDOWS)
    list(JOIN REZ_NOT_ON_WINDOWS ":" skipped)
    if(pattern MATCHES "-")
      string(APPEND pattern ":${skipped}")
    elseif(pattern)
      string(APPEND pattern "-${skipped}")
    else()
      set(pattern "*-${skipped}")
    endif()
  endif()
  # Under Wine each process start costs about a second: there a test program runs whole, as
  # one ctest test (a failure names its test cases in the output). Now and then a Wine process
  # hangs instead of ending: the limit is low enough for the run once more to save the day.
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    set(name ${target})
    set(arguments)
    if(pattern)
      set(name "${target}/${arg_TEST_FILTER}")
      set(arguments "--gtest_filter=${pattern}")
    endif()
    add_test(NAME ${name} COMMAND ${target} ${arguments})
    set_tests_properties(${name} PROPERTIES
      TIMEOUT 180
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8${REZ_TEST_FONT_ENVIRONMENT}"
      ${arg_PROPERTIES})
    return()
  endif()
  set(filter)
  if(pattern)
    set(filter TEST_FILTER ${pattern})
  endif()
  gtest_discover_tests(${target}
    ${filter}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1${REZ_TEST_FONT_ENVIRONMENT}"
               ${arg_PROPERTIES})
endfunction()

if(REZ_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (configure with the 'fuzz' preset)")
  endif()
  target_compile_options(rez_flags INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(rez_flags INTERFACE -fsanitize=address,undefined)
endif()

# Layer check: fails the configure step when `target` reaches any of the given libraries
# through its link dependencies, direct or inherited. Runs once every target is defined.
function(rez_forbid_link target)
  # A deferred call reads variables when it runs, so the values are written into it now.
  set(args "[[${target}]]")
  foreach(name IN LISTS ARGN)
    string(APPEND args " [[${name}]]")
  endforeach()
  cmake_language(EVAL CODE
    "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] CALL _rez_check_forbidden_links ${args})")
endfunction()

function(_rez_check_forbidden_links target)
  set(forbidden ${ARGN})
  set(seen "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue item)
    if(item IN_LIST seen OR NOT TARGET ${item})
      continue()
    endif()
    list(APPEND seen ${item})
    get_target_property(aliased ${item} ALIASED_TARGET)
    if(aliased)
      list(APPEND queue ${aliased})
      continue()
    endif()
    if(item IN_LIST forbidden)
      message(FATAL_ERROR "${target} must not link ${item} (layer rule); targets reached: ${seen}")
    endif()
    set(deps "")
    get_target_property(imported ${item} IMPORTED)
    if(NOT imported)
      get_target_property(own ${item} LINK_LIBRARIES)
      if(own)
        list(APPEND deps ${own})
      endif()
    endif()
    get_target_property(interface ${item} INTERFACE_LINK_LIBRARIES)
    if(interface)
      list(APPEND deps ${interface})
    endif()
    foreach(dep IN LISTS deps)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" dep "${dep}")
      if(NOT dep MATCHES "^(\\$<|::@)")
        list(APPEND queue ${dep})
      endif()
    endforeach()
  endwhile()
endfunction()

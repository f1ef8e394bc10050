# Installs the build into a fresh folder and checks that the folder stands on its own: both
# programs, the sample groups, an empty Results/, the icon and the desktop entry, and that the
# installed rez-report analyses the installed sample data into the installed Results/.
#   cmake -DBUILD_DIR=... -DPREFIX=... -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(entry rez rez-report kviro-rez.png kviro-rez.desktop Data/Smirnov/0-01REZ.cry
              Data/Kuznetsova Data/Orlov Results)
  if(NOT EXISTS "${PREFIX}/${entry}")
    message(FATAL_ERROR "missing in the installed folder: ${entry}")
  endif()
endforeach()
file(GLOB results "${PREFIX}/Results/*")
if(results)
  message(FATAL_ERROR "Results/ is not empty after the install: ${results}")
endif()
file(READ "${PREFIX}/kviro-rez.desktop" desktop)
if(NOT desktop MATCHES "Exec=\"${PREFIX}/rez\"")
  message(FATAL_ERROR "the desktop entry does not start the installed program:\n${desktop}")
endif()
execute_process(COMMAND "${PREFIX}/rez-report" -d . -o "${PREFIX}/Results" "${PREFIX}/Data/Smirnov"
                RESULT_VARIABLE reported OUTPUT_VARIABLE written ERROR_VARIABLE errors)
file(GLOB results "${PREFIX}/Results/*")
# The folder's lock stays behind, empty, for the next run to take.
list(FILTER results EXCLUDE REGEX "/\\.rez-lock$")
list(LENGTH results count)
if(NOT reported EQUAL 0 OR NOT count EQUAL 4)
  message(FATAL_ERROR "installed rez-report failed (${reported}, ${count} files): ${errors}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
message(STATUS "installed folder is self-contained")

# Runs the Windows programs of a mingw-w64 cross build under Wine: build tools (the sample
# scrambler) and the tests alike, through CMake's cross-compiling emulator. The Wine prefix
# lives in the build tree, so the tests never touch the user's own ~/.wine.
if(NOT (WIN32 AND CMAKE_CROSSCOMPILING) OR CMAKE_CROSSCOMPILING_EMULATOR)
  return()
endif()

# Debian's `wine` package gives /usr/bin/wine; with wine64 alone there is only the loader.
find_program(REZ_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(REZ_WINE NAMES wine wine64)
find_program(REZ_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine)
if(NOT REZ_WINE OR NOT REZ_WINESERVER)
  message(STATUS "Wine not found: the Windows programs are built but cannot run here")
  return()
endif()

set(REZ_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
# The DLLs the programs load and that do not lie beside them in the build tree: the Windows
# SDK's Qt (its plugins are found from Qt6Core.dll's own folder) and the mingw runtime. Wine
# searches the folders of WINEPATH after the program's own; / is the drive Z: of every prefix.
set(REZ_WINEPATH "")
if(REZ_WINDOWS_SDK)
  foreach(dir "${REZ_WINDOWS_SDK}/qt/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix
              /usr/x86_64-w64-mingw32/lib)
    list(APPEND REZ_WINEPATH "Z:${dir}")
  endforeach()
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE
               @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

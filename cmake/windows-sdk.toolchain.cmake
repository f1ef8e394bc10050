# Cross build of the whole program for 64-bit Windows against a prebuilt SDK (Qt 6 qtbase,
# giflib, libxlsxwriter, zlib, all built with Debian's mingw-w64 posix compilers). The SDK is
# taken from, in order: REZ_WINDOWS_SDK in the environment, shared/windows-sdk beside the
# source folder, build/windows-sdk inside it (what scripts/windows-sdk.sh writes). The SDK's
# own toolchain file does the rest.
set(_rez_sdk_candidates
  "$ENV{REZ_WINDOWS_SDK}"
  "${CMAKE_CURRENT_LIST_DIR}/../../shared/windows-sdk"
  "${CMAKE_CURRENT_LIST_DIR}/../build/windows-sdk")
foreach(_rez_sdk IN LISTS _rez_sdk_candidates)
  if(_rez_sdk AND EXISTS "${_rez_sdk}/toolchain.cmake")
    get_filename_component(_rez_sdk "${_rez_sdk}" ABSOLUTE)
    include("${_rez_sdk}/toolchain.cmake")
    set(REZ_WINDOWS_SDK_FOUND "${_rez_sdk}")
    break()
  endif()
endforeach()
if(NOT REZ_WINDOWS_SDK_FOUND)
  message(FATAL_ERROR "No Windows SDK: looked in ${_rez_sdk_candidates}. "
                      "scripts/windows-sdk.sh builds one into build/windows-sdk (about an hour).")
endif()

# libxlsxwriter, which writes rez-report's cohort workbook. Optional: where it is missing the
# build leaves the workbook out and rez-report refuses --workbook with a message saying so.
# Found through pkg-config (Debian, MSYS2) or as a plain header and library (vcpkg, the
# Windows SDK of a cross build: there pkg-config would report the build machine's library).
set(REZ_HAVE_WORKBOOK OFF)
option(REZ_WORKBOOK "Build the cohort workbook of rez-report when libxlsxwriter is found" ON)
if(REZ_WORKBOOK)
  find_package(PkgConfig QUIET)
  if(PKG_CONFIG_FOUND AND NOT CMAKE_CROSSCOMPILING)
    pkg_check_modules(XLSXWRITER QUIET IMPORTED_TARGET GLOBAL xlsxwriter)
  endif()
  if(TARGET PkgConfig::XLSXWRITER)
    add_library(XlsxWriter::XlsxWriter ALIAS PkgConfig::XLSXWRITER)
  else()
    find_path(XLSXWRITER_INCLUDE_DIR xlsxwriter.h)
    find_library(XLSXWRITER_LIBRARY NAMES xlsxwriter libxlsxwriter)
    if(XLSXWRITER_INCLUDE_DIR AND XLSXWRITER_LIBRARY)
      add_library(XlsxWriter::XlsxWriter UNKNOWN IMPORTED GLOBAL)
      set_target_properties(XlsxWriter::XlsxWriter PROPERTIES
        IMPORTED_LOCATION ${XLSXWRITER_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${XLSXWRITER_INCLUDE_DIR})
      # A static libxlsxwriter (vcpkg's default on Windows) needs zlib at link time.
      find_package(ZLIB QUIET)
      if(ZLIB_FOUND)
        set_target_properties(XlsxWriter::XlsxWriter PROPERTIES
          INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
      endif()
    endif()
  endif()
  if(TARGET XlsxWriter::XlsxWriter)
    set(REZ_HAVE_WORKBOOK ON)
    message(STATUS "Cohort workbook: libxlsxwriter found")
  else()
    message(WARNING "libxlsxwriter not found: rez-report is built without --workbook")
  endif()
endif()

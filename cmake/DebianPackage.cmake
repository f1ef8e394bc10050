# The Debian package: `cpack -G DEB` in a build configured with REZ_INSTALL_LAYOUT=system and
# CMAKE_INSTALL_PREFIX=/usr gives kviro-rez_<version>_amd64.deb (scripts/package.sh does it
# all). The programs in /usr/bin find their samples in /usr/share/kviro-rez/Data.
include(GNUInstallDirs)

set(REZ_PACKAGE kviro-rez)
set(REZ_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${REZ_PACKAGE})

# The package's changelog names the version too: the two must agree.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog REZ_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT REZ_CHANGELOG_TOP MATCHES "^${REZ_PACKAGE} \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog does not start with version ${PROJECT_VERSION}: "
                      "${REZ_CHANGELOG_TOP}")
endif()

# Manual pages and the changelog, compressed without names or times in the gzip header, so
# the same sources give the same package.
find_program(REZ_GZIP gzip REQUIRED)
string(TIMESTAMP REZ_MAN_DATE "%Y-%m-%d" UTC)
set(REZ_COMPRESSED)
foreach(page rez rez-report)
  configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.1.in ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  list(APPEND REZ_COMPRESSED ${CMAKE_BINARY_DIR}/man/${page}.1)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/doc/changelog COPYONLY)
list(APPEND REZ_COMPRESSED ${CMAKE_BINARY_DIR}/doc/changelog)
set(REZ_COMPRESSED_OUTPUTS)
foreach(file ${REZ_COMPRESSED})
  add_custom_command(OUTPUT ${file}.gz
    COMMAND ${REZ_GZIP} -9 -n -f -k ${file}
    DEPENDS ${file}
    VERBATIM)
  list(APPEND REZ_COMPRESSED_OUTPUTS ${file}.gz)
endforeach()
add_custom_target(rez_package_docs ALL DEPENDS ${REZ_COMPRESSED_OUTPUTS})

install(FILES ${CMAKE_BINARY_DIR}/man/rez.1.gz ${CMAKE_BINARY_DIR}/man/rez-report.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${REZ_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${REZ_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The KVIRO.REZ authors")
set(CPACK_PACKAGE_CONTACT "The KVIRO.REZ authors <maintainers@kviro-rez.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "analysis of the REZ managerial-skills questionnaire")
# The extended description: lines of at most 79 characters, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "KVIRO.REZ analyses the 360-degree questionnaire REZ on managerial skills.
A manager rates himself, and his own managers, his subordinates and his
colleagues rate him; 145 answers sum into 23 scales, six phases of managerial
activity and two factors of the group's climate.

The program reads one folder of scrambled respondent files per assessed
manager, computes each role's means, the mean of the outside roles and the
self-minus-other gaps, and shows them as a table, two bar charts and an
analysis text. It saves them as GIF pictures and Windows-1251 text files, and
as a printable report for the manager.

The command rez-report does the same without a display, for many groups at
once, and can add one spreadsheet workbook over all of them. Sample groups are
included.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link, as dpkg-shlibdeps finds them, and the fonts the window's
# pixel sizes are measured in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
# Qt's own dialogs and buttons in Russian (qtbase_ru.qm); without it they stay English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

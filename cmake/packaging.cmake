# What the programs carry and the packages hold: on Windows each .exe's version, icon and manifest,
# a zip to unpack anywhere and an installer (Quorvane-<version>-win64.zip and -win64-setup.exe); on
# Linux the manual pages, a tarball and a Debian package. Every one of them takes its version from
# project(), its release date from CHANGELOG.md and its copyright line from LICENSE.

# The programs, their group sizes, and the one line that describes each (the manual page's NAME
# and the .exe's file description).
# Groups is Quorvane-Groups, which takes the size on its command line (--group-size K).
set(QUORVANE_EDITIONS Pairs Triads Quads Groups)
set(QUORVANE_GROUP_SIZE_Pairs 2)
set(QUORVANE_GROUP_SIZE_Triads 3)
set(QUORVANE_GROUP_SIZE_Quads 4)
set(QUORVANE_REPORT_GROUPS_Pairs Pairings)
set(QUORVANE_REPORT_GROUPS_Triads Triads)
set(QUORVANE_REPORT_GROUPS_Quads Quads)
set(QUORVANE_REPORT_GROUPS_Groups "Groups\\-Of\\-\\fIK\\fP")
function(quorvane_program_description edition result)
  if(edition STREQUAL "Groups")
    set(${result} "nominal-group simulation of a study, in groups of any size (groups of K)"
        PARENT_SCOPE)
    return()
  endif()
  string(TOLOWER ${edition} groups)
  set(${result}
      "nominal-group simulation of a study, in ${groups} (groups of ${QUORVANE_GROUP_SIZE_${edition}})"
      PARENT_SCOPE)
endfunction()

set(QUORVANE_AUTHORS "The Quorvane developers")
set(QUORVANE_CONTACT "The Quorvane developers <quorvane@example.org>")
include(${CMAKE_CURRENT_LIST_DIR}/release_facts.cmake)
quorvane_release_date(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_VERSION} QUORVANE_RELEASE_DATE)
quorvane_copyright(${PROJECT_SOURCE_DIR}/LICENSE QUORVANE_COPYRIGHT)

# Where the installed files go: all in one folder on Windows, the usual places elsewhere.
if(WIN32)
  set(QUORVANE_PROGRAM_DIR .)
  set(QUORVANE_DOC_DIR .)
else()
  include(GNUInstallDirs)
  set(QUORVANE_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR})
  set(QUORVANE_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/quorvane)
endif()
install(TARGETS Quorvane-Pairs Quorvane-Triads Quorvane-Quads Quorvane-Groups
        RUNTIME DESTINATION ${QUORVANE_PROGRAM_DIR})
install(FILES README.md CHANGELOG.md DESTINATION ${QUORVANE_DOC_DIR})
install(DIRECTORY docs/ DESTINATION ${QUORVANE_DOC_DIR}/docs FILES_MATCHING PATTERN "*.md")
install(FILES web/README.md DESTINATION ${QUORVANE_DOC_DIR}/web)
install(FILES samples/sample-study.txt samples/sample-distribution.svg
        DESTINATION ${QUORVANE_DOC_DIR}/samples)
# One more file for the packages, built elsewhere: the browser page, installed when it has been
# built (cmake --workflow --preset web) and left out otherwise; beside the programs on Windows,
# in /usr/share/quorvane on Linux.
set(QUORVANE_WEB_PAGE ${PROJECT_SOURCE_DIR}/build/web/quorvane.html
    CACHE FILEPATH "The browser page the packages install when it exists")
if(WIN32)
  set(QUORVANE_PAGE_DIR .)
else()
  set(QUORVANE_PAGE_DIR ${CMAKE_INSTALL_DATAROOTDIR}/quorvane)
endif()
install(FILES ${QUORVANE_WEB_PAGE} DESTINATION ${QUORVANE_PAGE_DIR} OPTIONAL)

if(WIN32)
  # Each program's resources: its version, the icon and the manifest (long-path aware).
  enable_language(RC)
  set(QUORVANE_WINDOWS_DIR ${PROJECT_SOURCE_DIR}/packaging/windows)
  set(QUORVANE_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/windows/quorvane.manifest)
  string(REPLACE "." "," QUORVANE_VERSION_COMMAS "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
  set(QUORVANE_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
  configure_file(${QUORVANE_WINDOWS_DIR}/quorvane.manifest ${QUORVANE_MANIFEST} @ONLY)
  foreach(edition IN LISTS QUORVANE_EDITIONS)
    set(QUORVANE_PROGRAM Quorvane-${edition})
    quorvane_program_description(${edition} description)
    set(QUORVANE_PROGRAM_DESCRIPTION "${QUORVANE_PROGRAM}: ${description}")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/windows/${QUORVANE_PROGRAM}.rc)
    configure_file(${QUORVANE_WINDOWS_DIR}/quorvane.rc.in ${rc} @ONLY)
    target_sources(${QUORVANE_PROGRAM} PRIVATE ${rc})
    set_source_files_properties(${rc} PROPERTIES
      OBJECT_DEPENDS "${QUORVANE_MANIFEST};${QUORVANE_WINDOWS_DIR}/quorvane.ico")
  endforeach()
  # Windows users read the licence with Notepad.
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
else()
  # The manual pages, made from each program's --help and --version with the sections of
  # packaging/man, compressed as Debian wants them; without help2man there are none.
  find_program(QUORVANE_HELP2MAN help2man)
  if(QUORVANE_HELP2MAN)
    set(QUORVANE_MAN_PAGES)
    # The pages' DIAGNOSTICS section is the manual's page of messages, made from the same text.
    include(${CMAKE_CURRENT_LIST_DIR}/markdown_to_roff.cmake)
    set(troubleshooting ${PROJECT_SOURCE_DIR}/docs/troubleshooting.md)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${troubleshooting})
    file(READ ${troubleshooting} troubleshooting_text)
    quorvane_markdown_to_roff("${troubleshooting_text}" QUORVANE_DIAGNOSTICS)
    foreach(edition IN LISTS QUORVANE_EDITIONS)
      set(QUORVANE_PROGRAM Quorvane-${edition})
      set(QUORVANE_PROGRAM_ROFF "Quorvane\\-${edition}")
      set(QUORVANE_REPORT_GROUPS ${QUORVANE_REPORT_GROUPS_${edition}})
      # Quorvane-Groups needs its group size in the example, and says which names it shares.
      set(QUORVANE_EXAMPLE_OPTIONS "")
      set(QUORVANE_FILES_NOTE "")
      if(edition STREQUAL "Groups")
        set(QUORVANE_EXAMPLE_OPTIONS " \\-\\-group\\-size 5")
        set(QUORVANE_FILES_NOTE
            " (for groups of 2, 3 and 4 the names the other programs give, such as NG\\-2\\-10000\\-Sets\\-Of\\-NG\\-Triads.txt, so that a run of Quorvane\\-Groups \\-\\-group\\-size 3 is one of Quorvane\\-Triads)")
      endif()
      quorvane_program_description(${edition} description)
      set(sections ${CMAKE_CURRENT_BINARY_DIR}/man/${QUORVANE_PROGRAM}.h2m)
      configure_file(${PROJECT_SOURCE_DIR}/packaging/man/sections.h2m.in ${sections} @ONLY)
      set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${QUORVANE_PROGRAM}.1)
      add_custom_command(
        OUTPUT ${page} ${page}.gz
        COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${QUORVANE_HELP2MAN}
                -DPROGRAM=$<TARGET_FILE:${QUORVANE_PROGRAM}> -DNAME=${description}
                -DSECTIONS=${sections} -DRELEASE_DATE=${QUORVANE_RELEASE_DATE} -DPAGE=${page}
                -P ${PROJECT_SOURCE_DIR}/cmake/make_man_page.cmake
        DEPENDS ${QUORVANE_PROGRAM} ${sections} ${PROJECT_SOURCE_DIR}/cmake/make_man_page.cmake
        COMMENT "Manual page ${QUORVANE_PROGRAM}.1"
        VERBATIM)
      list(APPEND QUORVANE_MAN_PAGES ${page})
      install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endforeach()
    add_custom_target(quorvane_man_pages ALL DEPENDS ${QUORVANE_MAN_PAGES})
  else()
    message(STATUS "help2man not found: no manual pages (Debian's help2man makes them)")
  endif()
  # Debian's names for the licence and the changelog, which its packages must carry.
  install(FILES LICENSE DESTINATION ${QUORVANE_DOC_DIR} RENAME copyright)
  set(debian_changelog ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz)
  add_custom_command(
    OUTPUT ${debian_changelog}
    COMMAND ${CMAKE_COMMAND} -DCHANGELOG=${PROJECT_SOURCE_DIR}/CHANGELOG.md
            -DCONTACT=${QUORVANE_CONTACT} -DOUTPUT=${debian_changelog}
            -P ${PROJECT_SOURCE_DIR}/cmake/make_debian_changelog.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/cmake/make_debian_changelog.cmake
            ${PROJECT_SOURCE_DIR}/cmake/release_facts.cmake
    COMMENT "Debian changelog"
    VERBATIM)
  add_custom_target(quorvane_debian_changelog ALL DEPENDS ${debian_changelog})
  install(FILES ${debian_changelog} DESTINATION ${QUORVANE_DOC_DIR})
endif()

set(CPACK_PACKAGE_NAME Quorvane)
set(CPACK_PACKAGE_VENDOR "${QUORVANE_AUTHORS}")
set(CPACK_PACKAGE_CONTACT "${QUORVANE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "nominal-group simulations of a study in groups of any size")
# The Debian package's extended description: lines within 80 columns, no semicolons (CMake's
# list separator).
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Quorvane-Pairs, Quorvane-Triads, Quorvane-Quads and Quorvane-Groups are console\n"
  "programs for research on nominal groups: groups of people who never worked\n"
  "together, credited with an item when at least one member answered it correctly.\n"
  "From the item-by-item results of a study, a program forms 10,000 random\n"
  "partitions of the participants into nominal groups of two, three or four (or\n"
  "of any size K, with Quorvane-Groups --group-size K), scores every group, and\n"
  "picks the partition whose groups best represent all 10,000, by the mean and\n"
  "variance of the groups' numbers correct and by their distribution. The results\n"
  "are appended to eight text reports, and a run may also be exported as CSV\n"
  "tables and an SVG picture.")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_SYSTEM_NAME win64)
  # The zip, and the installer made by packaging/windows/quorvane.nsi from the same files.
  set(CPACK_GENERATOR ZIP External)
  set(CPACK_EXTERNAL_ENABLE_STAGING ON)
  set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/make_windows_installer.cmake)
  set(QUORVANE_NSIS_SCRIPT ${PROJECT_SOURCE_DIR}/packaging/windows/quorvane.nsi)
  find_program(QUORVANE_MAKENSIS makensis)
  set(CPACK_QUORVANE_MAKENSIS ${QUORVANE_MAKENSIS})
  set(CPACK_QUORVANE_NSIS_SCRIPT ${QUORVANE_NSIS_SCRIPT})
  set(CPACK_QUORVANE_AUTHORS "${QUORVANE_AUTHORS}")
  set(CPACK_QUORVANE_VERSION_QUAD "${QUORVANE_VERSION_QUAD}")
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_DEBIAN_PACKAGE_NAME quorvane)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()
include(CPack)

if(QUORVANE_TESTS)
  include(${CMAKE_CURRENT_LIST_DIR}/release_files_tests.cmake)
endif()

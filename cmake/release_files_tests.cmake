# Tests that the version, the release date and the group sizes agree in every file that states
# them (cmake/check_release_files.cmake), and that the check notices each way they can drift
# apart: each broken copy below must be refused with the message that names it.
set(QUORVANE_CHECK ${PROJECT_SOURCE_DIR}/cmake/check_release_files.cmake)
set(QUORVANE_CITATION ${PROJECT_SOURCE_DIR}/CITATION.cff)
set(QUORVANE_CHANGELOG ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
set(QUORVANE_README ${PROJECT_SOURCE_DIR}/README.md)
# Lists go to the check joined by "|", which no path here holds.
set(programs)
foreach(edition IN LISTS QUORVANE_EDITIONS)
  list(APPEND programs $<TARGET_FILE:Quorvane-${edition}>)
endforeach()
string(JOIN "|" programs ${programs})
string(JOIN "|" pages ${QUORVANE_MAN_PAGES})
if(WIN32)
  set(programs_of_build -DWINDOWS_PROGRAMS=${programs})
elseif(QUORVANE_MAN_PAGES)
  set(programs_of_build -DPROGRAMS=${programs} -DMAN_PAGES=${pages})
else()
  set(programs_of_build -DPROGRAMS=${programs})
endif()
# The README and every page of the manual name the packages and the version alike.
file(GLOB manual_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.md)
string(JOIN "|" readmes ${QUORVANE_README} ${PROJECT_SOURCE_DIR}/web/README.md ${manual_pages})
add_test(NAME ReleaseFiles.AgreeOnTheVersion
         COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DCITATION=${QUORVANE_CITATION}
                 -DCHANGELOG=${QUORVANE_CHANGELOG} "-DREADME=${readmes}"
                 ${programs_of_build} -P ${QUORVANE_CHECK})

# name | file broken (CITATION, CHANGELOG or README) | text replaced | its replacement | message
# expected
file(READ ${QUORVANE_CITATION} citation)
file(READ ${QUORVANE_CHANGELOG} changelog)
file(READ ${QUORVANE_README} readme)
set(broken_copies
    "CitationOfAnOlderVersion|CITATION|version: \"${PROJECT_VERSION}\"|version: \"0.9\"|it says 'version: \"0.9\"'"
    "CitationWithoutVersion|CITATION|version: \"${PROJECT_VERSION}\"|version-typo: x|it says ''"
    "CitationOfAnotherDay|CITATION|date-released: \"${QUORVANE_RELEASE_DATE}\"|date-released: \"1999-01-01\"|it says 'date-released: \"1999-01-01\"'"
    "ChangelogWithoutTheVersion|CHANGELOG|## ${PROJECT_VERSION} (|## 0.9 (|has no entry for version ${PROJECT_VERSION}"
    "ChangelogWithANewerEntryFirst|CHANGELOG|## ${PROJECT_VERSION} (|## 99.0 (2100-01-01)\\n\\n- Later.\\n\\n## ${PROJECT_VERSION} (|the newest entry is '## 99.0 (2100-01-01)'"
    "ReadmeNamingAnOlderZip|README|Quorvane-${PROJECT_VERSION}-win64.zip|Quorvane-0.9-win64.zip|it names 'Quorvane-0.9-win64'"
    "ReadmeNamingAnOlderDebianPackage|README|quorvane_${PROJECT_VERSION}_amd64|quorvane_0.9.1_amd64|it names 'quorvane_0.9.1_amd64'"
    "ReadmeShowingAnOlderVersionLine|README|`Quorvane-Triads ${PROJECT_VERSION}`|`Quorvane-Triads 0.9`|it names 'Quorvane-Triads 0.9`'")
foreach(row IN LISTS broken_copies)
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 name)
  list(GET row 1 which)
  list(GET row 2 text)
  list(GET row 3 replacement)
  list(GET row 4 expected)
  string(REPLACE "\\n" "\n" replacement "${replacement}")
  set(CITATION_file ${QUORVANE_CITATION})
  set(CHANGELOG_file ${QUORVANE_CHANGELOG})
  set(README_file ${QUORVANE_README})
  set(CITATION_text "${citation}")
  set(CHANGELOG_text "${changelog}")
  set(README_text "${readme}")
  get_filename_component(file_name ${${which}_file} NAME)
  set(${which}_file ${CMAKE_CURRENT_BINARY_DIR}/release-files/${name}/${file_name})
  string(REPLACE "${text}" "${replacement}" broken "${${which}_text}")
  if(broken STREQUAL "${${which}_text}")
    message(FATAL_ERROR "release file test ${name}: '${text}' is not in the file it breaks")
  endif()
  file(WRITE ${${which}_file} "${broken}")
  add_test(NAME ReleaseFiles.Refuses${name}
           COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DCITATION=${CITATION_file}
                   -DCHANGELOG=${CHANGELOG_file} -DREADME=${README_file} -P ${QUORVANE_CHECK})
  string(REGEX REPLACE "([][()*+.?^$\\\\|])" "\\\\\\1" expected_pattern "${expected}")
  set_tests_properties(ReleaseFiles.Refuses${name} PROPERTIES
                       PASS_REGULAR_EXPRESSION "${expected_pattern}")
endforeach()

if(NOT WIN32)
  # Programs of another version than the citation and the changelog name.
  set(older ${CMAKE_CURRENT_BINARY_DIR}/release-files/ProgramsOfAnotherVersion)
  string(REPLACE "version: \"${PROJECT_VERSION}\"" "version: \"99.0\"" broken "${citation}")
  file(WRITE ${older}/CITATION.cff "${broken}")
  string(REPLACE "date-released: \"${QUORVANE_RELEASE_DATE}\"" "date-released: \"2100-01-01\""
                 broken "${broken}")
  file(WRITE ${older}/CITATION.cff "${broken}")
  file(WRITE ${older}/CHANGELOG.md "# Changelog\n\n## 99.0 (2100-01-01)\n\n- Later.\n\n${changelog}")
  add_test(NAME ReleaseFiles.RefusesProgramsOfAnotherVersion
           COMMAND ${CMAKE_COMMAND} -DVERSION=99.0 -DCITATION=${older}/CITATION.cff
                   -DCHANGELOG=${older}/CHANGELOG.md -DPROGRAMS=${programs} -P ${QUORVANE_CHECK})
  set_tests_properties(ReleaseFiles.RefusesProgramsOfAnotherVersion PROPERTIES
                       PASS_REGULAR_EXPRESSION "--version says 'Quorvane-Pairs ${PROJECT_VERSION}")
endif()
if(NOT WIN32 AND QUORVANE_MAN_PAGES)
  # The pages in another order than the programs: each names another program and group size.
  set(reversed_pages ${QUORVANE_MAN_PAGES})
  list(REVERSE reversed_pages)
  string(JOIN "|" reversed_pages ${reversed_pages})
  add_test(NAME ReleaseFiles.RefusesTheManualPageOfAnotherProgram
           COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DCITATION=${QUORVANE_CITATION}
                   -DCHANGELOG=${QUORVANE_CHANGELOG} -DPROGRAMS=${programs}
                   -DMAN_PAGES=${reversed_pages} -P ${QUORVANE_CHECK})
  set_tests_properties(ReleaseFiles.RefusesTheManualPageOfAnotherProgram PROPERTIES
                       PASS_REGULAR_EXPRESSION "its header is '\\.TH QUORVANE-GROUPS")
endif()

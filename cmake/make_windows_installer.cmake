# CPack's External generator runs this script after it has installed the zip's files into its
# staging folder: makensis turns them into Quorvane-<version>-win64-setup.exe, with
# packaging/windows/quorvane.nsi.
if(NOT CPACK_QUORVANE_MAKENSIS)
  message(FATAL_ERROR "makensis not found: install Debian's nsis to make the Windows installer")
endif()
set(stage ${CPACK_TEMPORARY_DIRECTORY})
if(NOT EXISTS ${stage}/Quorvane-Triads.exe)
  message(FATAL_ERROR "the staged files are not in ${stage}")
endif()
get_filename_component(windows_dir ${CPACK_QUORVANE_NSIS_SCRIPT} DIRECTORY)
set(installer ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}-setup.exe)
execute_process(
  COMMAND ${CPACK_QUORVANE_MAKENSIS} -V2 -WX
          -DQUORVANE_VERSION=${CPACK_PACKAGE_VERSION}
          -DQUORVANE_VERSION_QUAD=${CPACK_QUORVANE_VERSION_QUAD}
          "-DQUORVANE_AUTHORS=${CPACK_QUORVANE_AUTHORS}"
          -DQUORVANE_STAGE=${stage}
          -DQUORVANE_ICON=${windows_dir}/quorvane.ico
          -DQUORVANE_OUTFILE=${installer}
          ${CPACK_QUORVANE_NSIS_SCRIPT}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "makensis could not make ${installer} (status ${status})")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES ${installer})

# The release package build/dist/Zorvane-<version>-win32.zip with its SHA256SUMS: the stripped
# executable, the help page and a note for users. Built with everything else, so the tests
# check the very file that ships; scripts/package.sh builds only this.
set(ZORVANE_RELEASE_DATE 2026-12-08)  # the files' time in the zip
set(ZORVANE_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
set(ZORVANE_ZIP ${ZORVANE_DIST_DIR}/Zorvane-${PROJECT_VERSION}-win32.zip)
set(ZORVANE_STAGE_DIR ${CMAKE_BINARY_DIR}/package)
add_custom_command(OUTPUT ${ZORVANE_ZIP} ${ZORVANE_DIST_DIR}/SHA256SUMS
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ZORVANE_STAGE_DIR} ${ZORVANE_DIST_DIR}
  # strip writes the current time into the PE header unless SOURCE_DATE_EPOCH names one.
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
    ${CMAKE_STRIP} -o ${ZORVANE_STAGE_DIR}/Zorvane.exe $<TARGET_FILE:Zorvane>
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/make-zip.py
    ${ZORVANE_ZIP} ${ZORVANE_DIST_DIR}/SHA256SUMS ${ZORVANE_RELEASE_DATE}
    ${ZORVANE_STAGE_DIR}/Zorvane.exe ${CMAKE_BINARY_DIR}/Zorvane-help.html
    ${PROJECT_SOURCE_DIR}/res/README.txt
  DEPENDS Zorvane ${PROJECT_SOURCE_DIR}/scripts/make-zip.py ${PROJECT_SOURCE_DIR}/res/README.txt
    ${PROJECT_SOURCE_DIR}/res/Zorvane-help.html
  COMMENT "Packing ${ZORVANE_ZIP}" VERBATIM)
add_custom_target(dist ALL DEPENDS ${ZORVANE_ZIP})

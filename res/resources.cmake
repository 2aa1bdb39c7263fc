find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(CLOCK_ICON ${CMAKE_BINARY_DIR}/res/clock.ico)
add_custom_command(OUTPUT ${CLOCK_ICON}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/res/make_clock_icon.py ${CLOCK_ICON}
  DEPENDS ${PROJECT_SOURCE_DIR}/res/make_clock_icon.py
  COMMENT "Drawing the clock icon")

# The version is written once, in project(); the version information and the manifest take it
# in four parts, "1.0.0.0" as text and 1,0,0,0 as numbers.
set(ZORVANE_FILE_VERSION
  ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
string(REPLACE "." "," ZORVANE_FILE_VERSION_NUMBERS ${ZORVANE_FILE_VERSION})
configure_file(${PROJECT_SOURCE_DIR}/res/Zorvane.exe.manifest.in
  ${CMAKE_BINARY_DIR}/res/Zorvane.exe.manifest @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/res/zorvane.rc.in ${CMAKE_BINARY_DIR}/res/zorvane.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/res/zorvane.rc PROPERTIES
  OBJECT_DEPENDS "${CLOCK_ICON};${CMAKE_BINARY_DIR}/res/Zorvane.exe.manifest;${PROJECT_SOURCE_DIR}/src/resource.h")
set(ZORVANE_RESOURCE_FILES ${CMAKE_BINARY_DIR}/res/zorvane.rc)

# The help page that the log box's help text points to lies beside the executable.
configure_file(${PROJECT_SOURCE_DIR}/res/Zorvane-help.html ${CMAKE_BINARY_DIR}/Zorvane-help.html COPYONLY)

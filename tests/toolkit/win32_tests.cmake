# The Win32 toolkit driven for real: windows under wine on a virtual X
# display (xvfb-run), with the program's bitmap and icon as resources.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(resource_dir ${CMAKE_CURRENT_BINARY_DIR}/toolkit_win32_resources)
execute_process(
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/resources/generate.py ${resource_dir}
  COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/generate.py)
file(CONFIGURE OUTPUT ${resource_dir}/toolkit_test.rc CONTENT
"BITMAP0 BITMAP \"${resource_dir}/bitmap0.bmp\"
QOLA ICON \"${resource_dir}/qola.ico\"
" @ONLY)
set_source_files_properties(${resource_dir}/toolkit_test.rc PROPERTIES
  OBJECT_DEPENDS "${resource_dir}/bitmap0.bmp;${resource_dir}/qola.ico")

add_executable(toolkit_win32_tests
  toolkit_win32_controls_test.cpp
  toolkit_win32_drawing_test.cpp
  toolkit_win32_forms_test.cpp
  toolkit_win32_handover_test.cpp
  toolkit_win32_messages_test.cpp
  toolkit_win32_rules_test.cpp
  toolkit_win32_screenshot_test.cpp
  ${resource_dir}/toolkit_test.rc
)
vn_target_defaults(toolkit_win32_tests)
target_link_libraries(toolkit_win32_tests PRIVATE vn_toolkit GTest::gtest_main)

if(CMAKE_CROSSCOMPILING)
  set(screen_dir ${CMAKE_CURRENT_BINARY_DIR}/toolkit_win32_screen)
  add_test(NAME toolkit_win32_tests
    COMMAND xvfb-run -a -s "-screen 0 1024x768x24"
      bash ${CMAKE_CURRENT_SOURCE_DIR}/win32_toolkit_run.sh ${screen_dir} $<TARGET_FILE:toolkit_win32_tests>)
  # Windows need the wine server's desktop on this run's display, which a
  # test running at the same time without a display could have claimed.
  set_tests_properties(toolkit_win32_tests PROPERTIES
    LABELS wine TIMEOUT 600 RUN_SERIAL TRUE
    ENVIRONMENT "${VN_WINE_ENVIRONMENT}" FIXTURES_REQUIRED wine_prefix)
endif()

# The Win32 toolkit driven for real: windows under wine on a virtual X
# display (xvfb-run), with the program's bitmap and icon as resources.
add_executable(toolkit_win32_tests
  toolkit_behaviour_test.cpp
  behaviour_fixture_win32.cpp
  toolkit_win32_controls_test.cpp
  toolkit_win32_drawing_test.cpp
  toolkit_win32_forms_test.cpp
  toolkit_win32_handover_test.cpp
  toolkit_win32_messages_test.cpp
  toolkit_win32_rules_test.cpp
)
vn_add_program_resources(toolkit_win32_tests)
vn_target_defaults(toolkit_win32_tests)
target_link_libraries(toolkit_win32_tests PRIVATE vn_toolkit GTest::gtest_main)

if(CMAKE_CROSSCOMPILING)
  add_test(NAME toolkit_win32_tests
    COMMAND xvfb-run -a -s "-screen 0 1024x768x24"
      bash ${CMAKE_CURRENT_SOURCE_DIR}/win32_toolkit_run.sh $<TARGET_FILE:toolkit_win32_tests>)
  # Windows need the wine server's desktop on this run's display, which a
  # test running at the same time without a display could have claimed.
  set_tests_properties(toolkit_win32_tests PROPERTIES
    LABELS wine TIMEOUT 600 RUN_SERIAL TRUE
    ENVIRONMENT "${VN_WINE_ENVIRONMENT}" FIXTURES_REQUIRED wine_prefix)
endif()

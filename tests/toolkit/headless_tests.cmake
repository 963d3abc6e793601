# Headless toolkit tests.
vn_add_test_executable(toolkit_tests unit
  control_rules_test.cpp
  toolkit_behaviour_test.cpp
  behaviour_fixture_headless.cpp
  headless_controls_test.cpp
  headless_input_test.cpp
  headless_handover_test.cpp
)
target_link_libraries(toolkit_tests PRIVATE vn_toolkit)
vn_add_carried_blobs(toolkit_tests
  PICTURE ${CMAKE_CURRENT_SOURCE_DIR}/headless_test_picture.bmp
  TRUNCATED ${CMAKE_CURRENT_SOURCE_DIR}/headless_test_truncated.bin)

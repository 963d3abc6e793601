# Headless backend: an in-memory screen for native tests, with a user's
# view of it (headless_screen.h).
target_sources(vn_toolkit PRIVATE
  toolkit_headless_world.cpp
  toolkit_headless_window.cpp
  toolkit_headless_control.cpp
  toolkit_headless_form.cpp
  toolkit_headless_input.cpp
  toolkit_headless_drawing.cpp
  toolkit_headless_resources.cpp
  toolkit_headless_handover.cpp
  headless_screen.cpp
)

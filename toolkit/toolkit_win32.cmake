# Win32 backend: user32, gdi32 and comctl32 through the wide calls.
target_sources(vn_toolkit PRIVATE
  toolkit_win32_app.cpp
  toolkit_win32_controls.cpp
  toolkit_win32_drawing.cpp
  toolkit_win32_forms.cpp
  toolkit_win32_handover.cpp
  toolkit_win32_messages.cpp
  toolkit_win32_text.cpp
  toolkit_win32_tooltip.cpp
  toolkit_win32_window.cpp
)
target_link_libraries(vn_toolkit PUBLIC user32 gdi32 comctl32)

#pragma once

namespace vn {

// The window in which a scheme's window components make their controls.
// The schemes only carry it to the components that need it; the window
// toolkit's windows are host windows, so no scheme needs to know the toolkit.
class HostWindow {
 protected:
  HostWindow() = default;
  ~HostWindow() = default;
};

}  // namespace vn

#pragma once

#include <memory>

#include "components/serial/com_async.h"
#include "components/win/button.h"
#include "components/win/combo_box.h"
#include "components/win/edit.h"
#include "components/win/image.h"
#include "components/win/label.h"
#include "components/win/progress_bar.h"
#include "components/win/simple_form.h"

namespace vn {

// A small scheme that proves the program's start-up and shut-down until the
// application's own scheme replaces it: the window with the port list, a
// status field, a progress bar, the failure picture and an "OK" button that
// closes the program.
class TStandInScheme {
 public:
  TStandInScheme();
  TStandInScheme(const TStandInScheme&) = delete;
  TStandInScheme& operator=(const TStandInScheme&) = delete;
  ~TStandInScheme();

  std::unique_ptr<TVNSimpleForm> Form;
  std::unique_ptr<TVNLabel> VersionLabel;
  std::unique_ptr<TVNComboBox> PortCombo;
  std::unique_ptr<TVNEdit> StatusEdit;
  std::unique_ptr<TVNProgressBar> UploadProgress;
  std::unique_ptr<TVNImage> ErrorImage;
  std::unique_ptr<TVNButton> OkButton;
  std::unique_ptr<TVNComAsync> SerialPort;
};

}  // namespace vn

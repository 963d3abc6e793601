#pragma once

#include <memory>

#include "components/flow/commutator.h"
#include "components/flow/do_data.h"
#include "components/flow/event_from_data.h"
#include "components/flow/hub.h"
#include "components/flow/if_else.h"
#include "components/flow/sleep.h"
#include "components/flow/switch.h"
#include "components/serial/com_async.h"
#include "components/win/button.h"
#include "components/win/combo_box.h"
#include "components/win/edit.h"
#include "components/win/image.h"
#include "components/win/label.h"
#include "components/win/progress_bar.h"
#include "components/win/simple_form.h"
#include "core/multi_element.h"

namespace vn {

// The Brantelmoor bootloader: its one window, the serial port, the device
// probe and the firmware upload, and every connection between them.
class TClassSimpleForm_24FF170 {
 public:
  TClassSimpleForm_24FF170();
  TClassSimpleForm_24FF170(const TClassSimpleForm_24FF170&) = delete;
  TClassSimpleForm_24FF170& operator=(const TClassSimpleForm_24FF170&) = delete;
  // Destroys the components newest first, the form last.
  ~TClassSimpleForm_24FF170();

  std::unique_ptr<TVNLabel> ErrorLabel;
  std::unique_ptr<TVNLabel> CheckLinksLabel;
  std::unique_ptr<TVNSimpleForm> Form;
  std::unique_ptr<TVNButton> WriteButton;
  std::unique_ptr<TVNEdit> StatusEdit;
  std::unique_ptr<TVNComboBox> PortCombo;
  std::unique_ptr<TVNHub> SendHub;
  std::unique_ptr<TVNMultiElementEx> Probe;
  std::unique_ptr<TVNMultiElementEx> Upload;
  std::unique_ptr<TVNCommutator> RxRouter;
  std::unique_ptr<TVNComAsync> SerialPort;
  std::unique_ptr<TVNHub> WriteClickHub;
  std::unique_ptr<TVNProgressBar> UploadProgress;
  std::unique_ptr<TVNHub> DeviceFoundHub;
  std::unique_ptr<TVNDoData> ComboOffData;
  std::unique_ptr<TVNHub> CloseHub;
  std::unique_ptr<TVNEdit> CrcEdit;
  std::unique_ptr<TVNLabel> CrcReceivedLabel;
  std::unique_ptr<TVNLabel> CrcLabel;
  std::unique_ptr<TVNHub> WriteEnableHub;
  std::unique_ptr<TVNEventFromData> PortNameStore;
  std::unique_ptr<TVNHub> PortSelectHub;
  std::unique_ptr<TVNHub> FinishHub;
  std::unique_ptr<TVNDoData> HideData;
  std::unique_ptr<TVNDoData> ShowData;
  std::unique_ptr<TVNHub> HideHub;
  std::unique_ptr<TVNHub> FormEnableHub;
  std::unique_ptr<TVNHub> ShowOkHub;
  std::unique_ptr<TVNButton> OkButton;
  std::unique_ptr<TVNHub> SuccessHub;
  std::unique_ptr<TVNDoData> ErrorShowData;
  std::unique_ptr<TVNHub> FailureHub;
  std::unique_ptr<TVNHub> ErrorShowHub;
  std::unique_ptr<TVNImage> ErrorImage;
  std::unique_ptr<TVNEventFromData> ErrorFlag;
  std::unique_ptr<TVNDoData> ClearErrorData;
  std::unique_ptr<TVNLabel> SuccessLabel;
  std::unique_ptr<TVNDoData> ShowSuccessData;
  std::unique_ptr<TVNSleep> SuccessDelay;
  std::unique_ptr<TVNSwitch> DoneSwitch;
  std::unique_ptr<TVNIf_else> FailureGate;
  std::unique_ptr<TVNLabel> VersionLabel;
};

// The one main scheme, while it exists.
extern TClassSimpleForm_24FF170* MainScheme;

}  // namespace vn

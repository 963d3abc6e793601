#pragma once

#include <memory>

#include "components/data/format_str.h"
#include "components/data/multi_str_part.h"
#include "components/data/str_mask.h"
#include "components/flow/case.h"
#include "components/flow/counter.h"
#include "components/flow/do_data.h"
#include "components/flow/hub.h"
#include "core/multi_element.h"

namespace vn {

// The device probe: asks the owner to open the chosen port, sends "VERS",
// judges the first reply word against the device name and, on a match,
// shows designation and version and flips its receive-path selector to the
// upload.
//
// Outer points on its container: doWork[0] open result, doWork[1] start a
// probe, doWork[2] received bytes; onEvent[0] bytes to send, onEvent[1]
// status text, onEvent[2] open the port, onEvent[3] no device, onEvent[4]
// device recognised; varValue[0] the selector (0 probe, 1 upload).
class TClassMultiElementEx_2569CE0 : public TClassMultiBase {
 public:
  TClassMultiElementEx_2569CE0(TVNMultiElementEx& container, void* ownerScheme,
                               HostWindow* parentWindow);
  // Destroys the components newest first, the edge last.
  ~TClassMultiElementEx_2569CE0() override;

  std::unique_ptr<TVNEditMultiEx> EdgeComponent;  // the object the base's Edge points at
  std::unique_ptr<TVNFormatStr> DeviceInfoFormat;
  std::unique_ptr<TVNDoData> NotFoundData;
  std::unique_ptr<TVNStrMask> NameMask;
  std::unique_ptr<TVNMultiStrPart> ReplySplit;
  std::unique_ptr<TVNHub> StartHub;
  std::unique_ptr<TVNCase> OpenCase;
  std::unique_ptr<TVNHub> NotFoundHub;
  std::unique_ptr<TVNDoData> VersData;
  std::unique_ptr<TVNHub> StatusHub;
  std::unique_ptr<TVNHub> FoundHub;
  std::unique_ptr<TVNCounter> ModeCounter;
  std::unique_ptr<TVNHub> OpenedHub;
  void* OwnerScheme;
};

// The probe's creator for its container (a TCreator).
std::unique_ptr<TClassMultiBase> CreateProbeScheme(TVNMultiElementEx& container,
                                                   HostWindow* parentWindow,
                                                   void* ownerScheme);

}  // namespace vn

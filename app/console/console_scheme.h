#pragma once

#include <memory>
#include <string>

#include "app/console/console_sink.h"
#include "components/data/mem_stream.h"
#include "components/flow/event_from_data.h"
#include "components/flow/hub.h"
#include "components/flow/commutator.h"
#include "components/serial/com_async.h"
#include "core/multi_element.h"

namespace vn {

// The command-line flasher's scheme: the serial port and the same probe and
// upload sub-schemes as the window program, wired as the window program
// wires them, with the console sink where the window has its controls.
//
// Entry points for the command (fire them inside a scheme chain):
// PortSelectHub->doEvent with the port name starts the probe (closing any
// open port first); StartHub->doEvent starts the upload; CloseHub->doEvent
// closes the port. SerialPort->doEnum lists the ports through onEnum.
class TClassConsoleFlasher {
 public:
  // The upload sends `image`, which must outlive the scheme; none: the
  // carried image.
  explicit TClassConsoleFlasher(const std::string* image = nullptr);
  // Destroys the components newest first; the port is closed first.
  ~TClassConsoleFlasher();
  TClassConsoleFlasher(const TClassConsoleFlasher&) = delete;
  TClassConsoleFlasher& operator=(const TClassConsoleFlasher&) = delete;

  std::unique_ptr<TVNConsoleSink> Sink;
  std::unique_ptr<TVNHub> SendHub;
  std::unique_ptr<TVNMultiElementEx> Probe;
  std::unique_ptr<TVNMultiElementEx> Upload;
  std::unique_ptr<TVNCommutator> RxRouter;
  std::unique_ptr<TVNHub> RxHub;
  std::unique_ptr<TVNComAsync> SerialPort;
  std::unique_ptr<TVNHub> OpenHub;
  std::unique_ptr<TVNHub> StartHub;
  std::unique_ptr<TVNHub> CloseHub;
  std::unique_ptr<TVNEventFromData> CrcStore;
  std::unique_ptr<TVNEventFromData> PortNameStore;
  std::unique_ptr<TVNHub> PortSelectHub;

 private:
  static std::unique_ptr<TClassMultiBase> CreateUpload(TVNMultiElementEx& container, HostWindow* parentWindow,
                                                       void* ownerScheme);

  // Every upload the container builds gets a stream of its own over these
  // bytes, so a second one could never fall back to the carried image.
  const std::string* image_;
};

}  // namespace vn

#pragma once

#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "components/serial/com_properties.h"
#include "core/point_link.h"
#include "core/rc_string.h"
#include "core/tdata.h"

namespace vn {

namespace serial {
class SerialDevice;
}

// Owns one serial port: opens it by name with the full line settings, writes
// and reads raw bytes on request, lists the machine's ports, and fires the
// line events that its reader thread sees. Events are fired at once, never
// deferred; those of the reader thread are fired on that thread.
class TVNComAsync : public TComProperties {
 public:
  TVNComAsync();
  TVNComAsync(const TVNComAsync&) = delete;
  TVNComAsync& operator=(const TVNComAsync&) = delete;
  // Closes the port as doClose does, events included, and waits until the
  // reader thread has let go of the component.
  ~TVNComAsync();

  void doOpen(TData& data, std::uint16_t index);
  void doClose(TData& data, std::uint16_t index);
  void doWrite(TData& data, std::uint16_t index);
  void doRead(TData& data, std::uint16_t index);
  void doEnum(TData& data, std::uint16_t index);

  // Data points, paired with the properties of the same name.
  TPointLink PortPoint;
  TPointLink BaudPoint;
  TPointLink DTRPoint;
  TPointLink RTSPoint;

  TPointLink onWrite;
  TPointLink onRead;
  TPointLink onEnum;
  TPointLink onRxChar;
  TPointLink onRing;
  TPointLink onCTS;
  TPointLink onDSR;
  TPointLink onRLSD;
  TPointLink onRxFlag;
  TPointLink onBreak;
  TPointLink onRx80Full;
  TPointLink onTxEmpty;
  TPointLink onError;
  TPointLink onBeforeOpen;
  TPointLink onOpen;
  TPointLink onBeforeClose;
  TPointLink onClose;

  bool Opened() const { return opened_; }
  bool CTSState() const { return ctsState_; }
  bool DSRState() const { return dsrState_; }
  bool RLSDState() const { return rlsdState_; }
  std::uint32_t EventMask() const { return eventMask_; }
  const RcString& CurrentPort() const { return currentPort_; }
  // Texts of the last line-error report.
  const std::vector<RcString>& Errors() const { return errors_; }

 private:
  struct Reader;

  void Close();
  bool StartReader();
  void RetireReader();
  void JoinRetiredReaders();
  bool QueryModem();
  void RebuildErrors();
  void Dispatch(std::uint32_t eventWord, const Reader& reader);
  static void RunReader(std::shared_ptr<Reader> reader);

  std::shared_ptr<serial::SerialDevice> device_;
  std::shared_ptr<Reader> reader_;
  std::thread readerThread_;
  std::vector<std::thread> retiredReaders_;  // stopped, not yet joined
  bool opened_ = false;
  bool ctsState_ = false;
  bool dsrState_ = false;
  bool rlsdState_ = false;
  std::uint32_t eventMask_ = 0;
  RcString currentPort_;
  std::vector<RcString> errors_;
};

}  // namespace vn

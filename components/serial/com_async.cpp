#include "components/serial/com_async.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <system_error>

#include "components/serial/line_rules.h"
#include "components/serial/port_name.h"
#include "components/serial/serial_device.h"
#include "core/conversions.h"
#include "core/dispatch.h"
#include "core/scheme_lock.h"

namespace vn {

using serial::SerialDevice;

// What the reader thread shares with the component. Once `stop` is set the
// thread touches neither the component nor the port's handle again; it only
// lets go of its own references.
struct TVNComAsync::Reader {
  std::shared_ptr<SerialDevice> device;
  TVNComAsync* owner = nullptr;  // used only with the scheme lock held and `stop` clear
  std::atomic<bool> stop{false};
};

namespace {

// Reads of more than this are cut: a request of two gigabytes from a
// mistaken value must not become an allocation of that size.
constexpr std::uint32_t kMaxReadCount = 1u << 20;

}  // namespace

TVNComAsync::TVNComAsync() = default;

TVNComAsync::~TVNComAsync() {
  {
    SchemeChain chain;
    Close();
  }
  JoinRetiredReaders();
  // A component destroyed by its own reader thread's chain cannot wait for
  // that thread: it is stopped and needs nothing of the component any more.
  for (std::thread& thread : retiredReaders_) thread.detach();
}

void TVNComAsync::doOpen(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  if (opened_) return;
  FireNull(onBeforeOpen);

  currentPort_ = ReadString(data, PortPoint, Port);
  const std::optional<std::uint8_t> number = serial::ParseComPortNumber(currentPort_.view());
  if (!number) {
    FireInteger(onOpen, 0);
    return;
  }
  const std::int32_t dtr = ReadInteger(data, DTRPoint, DTR);
  const std::int32_t rts = ReadInteger(data, RTSPoint, RTS);
  const std::int32_t baud = ReadInteger(data, BaudPoint, Baud);

  device_ = SerialDevice::Open(currentPort_.view());
  if (!device_) {
    FireInteger(onOpen, 0);
    return;
  }
  opened_ = true;

  serial::LineSettings settings;
  device_->FetchLineSettings(settings);
  settings = serial::ComposeLineSettings(*this, dtr, rts, baud, settings);
  eventMask_ = serial::EventMaskOf(*this);

  const bool purged = device_->Purge(serial::PurgeMode::Clear);
  device_->SetupQueues(InQueue, OutQueue);
  const bool configured = purged && device_->ApplyLineSettings(settings) &&
                          device_->ApplyTimeouts(serial::TimeoutsOf(*this)) &&
                          device_->SetEventMask(eventMask_);
  if (!configured || (eventMask_ != 0 && !StartReader())) {
    Close();
    FireInteger(onOpen, 0);
    return;
  }

  if (QueryModem()) {
    if (ctsState_) FireInteger(onCTS, 1);
    if (dsrState_) FireInteger(onDSR, 1);
    if (rlsdState_) FireInteger(onRLSD, 1);
  }
  FireInteger(onOpen, *number);
}

void TVNComAsync::doClose(TData& /*data*/, std::uint16_t /*index*/) {
  SchemeChain chain;
  Close();
}

void TVNComAsync::Close() {
  if (opened_) {
    FireNull(onBeforeClose);
    RetireReader();
    if (FlushOnClose) device_->Flush();
    device_->Purge(serial::PurgeMode::AbortAndClear);
    FireInteger(onCTS, 0);
    FireInteger(onDSR, 0);
    FireInteger(onRLSD, 0);
    device_->Close();
    device_.reset();
    FireNull(onClose);
  }
  opened_ = false;
}

void TVNComAsync::doWrite(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  const RcString bytes = ToString(data);
  if (!opened_) return;
  const std::optional<std::uint32_t> written = device_->Write(bytes.view());
  if (written) FireInteger(onWrite, static_cast<std::int32_t>(*written));
}

void TVNComAsync::doRead(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  const std::int32_t requested = ToInteger(data);
  if (!opened_) return;
  const std::uint32_t count =
      requested <= 0 ? 0u : std::min(static_cast<std::uint32_t>(requested), kMaxReadCount);
  const std::optional<std::string> bytes = device_->Read(count);
  if (bytes) FireString(onRead, RcString(*bytes));
}

void TVNComAsync::doEnum(TData& /*data*/, std::uint16_t /*index*/) {
  SchemeChain chain;
  for (const std::string& name : SerialDevice::ListPorts()) {
    if (!EnumCheck || SerialDevice::CanOpen(name)) FireString(onEnum, RcString(name));
  }
}

bool TVNComAsync::QueryModem() {
  if (!opened_) return false;
  std::uint32_t status = 0;
  if (!device_->QueryModemStatus(status)) return false;
  ctsState_ = (status & serial::modem_line::Cts) != 0;
  dsrState_ = (status & serial::modem_line::Dsr) != 0;
  rlsdState_ = (status & serial::modem_line::Rlsd) != 0;
  return true;
}

void TVNComAsync::RebuildErrors() {
  if (!opened_) return;
  std::uint32_t errors = 0;
  std::uint32_t inQueue = 0;
  if (!device_->QueryStatus(errors, inQueue)) return;
  errors_ = serial::LineErrorTexts(errors, CheckParity);
}

bool TVNComAsync::StartReader() {
  JoinRetiredReaders();
  auto reader = std::make_shared<Reader>();
  reader->device = device_;
  reader->owner = this;
  try {
    readerThread_ = std::thread(&TVNComAsync::RunReader, reader);
  } catch (const std::system_error&) {
    return false;
  }
  reader_ = std::move(reader);
  return true;
}

// Ends the reader without waiting for it: it may be inside a dispatch that
// waits for the very thread that closes. It fires nothing from now on.
void TVNComAsync::RetireReader() {
  if (!reader_) return;
  reader_->stop.store(true, std::memory_order_release);
  device_->SetEventMask(0);  // ends the reader's wait for line events
  scheme_lock::WakeWaiters();
  retiredReaders_.push_back(std::move(readerThread_));
  reader_.reset();
}

void TVNComAsync::JoinRetiredReaders() {
  const std::thread::id self = std::this_thread::get_id();
  std::vector<std::thread> keep;
  for (std::thread& thread : retiredReaders_) {
    if (thread.get_id() == self) {
      keep.push_back(std::move(thread));
    } else if (thread.joinable()) {
      thread.join();
    }
  }
  retiredReaders_ = std::move(keep);
}

void TVNComAsync::RunReader(std::shared_ptr<Reader> reader) {
  SerialDevice::RaiseThreadPriority();
  SerialDevice& device = *reader->device;
  for (;;) {
    if (!scheme_lock::EnterUnless(reader->stop)) return;
    device.StartEventWait();
    scheme_lock::Leave();

    const bool signalled = device.AwaitEvent();

    if (!scheme_lock::EnterUnless(reader->stop)) return;
    if (!signalled) {
      // The port failed under us (a USB adapter pulled out, say): the
      // thread ends as its wait did, leaving the port quiet.
      device.SetEventMask(0);
      device.Purge(serial::PurgeMode::Clear);
      scheme_lock::Leave();
      return;
    }
    if (const std::optional<std::uint32_t> word = device.FinishEventWait()) {
      reader->owner->Dispatch(*word, *reader);
    }
    scheme_lock::Leave();
  }
}

// Fires the events of one event word in their fixed order. A receiver may
// close the port (or destroy the component): nothing more is fired then.
void TVNComAsync::Dispatch(std::uint32_t eventWord, const Reader& reader) {
  namespace ev = serial::line_event;
  for (const std::uint32_t bit : ev::DispatchOrder) {
    if (reader.stop.load(std::memory_order_acquire)) return;
    if ((eventWord & bit) == 0) continue;
    switch (bit) {
      case ev::RxChar: {
        std::uint32_t errors = 0;
        std::uint32_t inQueue = 0;
        if (device_->QueryStatus(errors, inQueue)) FireInteger(onRxChar, static_cast<std::int32_t>(inQueue));
        break;
      }
      case ev::TxEmpty: FireNull(onTxEmpty); break;
      case ev::Break: FireNull(onBreak); break;
      case ev::Ring: FireNull(onRing); break;
      case ev::Cts:
        if (QueryModem()) FireInteger(onCTS, ctsState_ ? 1 : 0);
        break;
      case ev::Dsr:
        if (QueryModem()) FireInteger(onDSR, dsrState_ ? 1 : 0);
        break;
      case ev::RxFlag: FireNull(onRxFlag); break;
      case ev::Rlsd:
        if (QueryModem()) FireInteger(onRLSD, rlsdState_ ? 1 : 0);
        break;
      case ev::Err:
        if (!AbortOnError) RebuildErrors();
        FireNull(onError);
        break;
      case ev::Rx80Full: FireNull(onRx80Full); break;
      default: break;
    }
  }
}

}  // namespace vn

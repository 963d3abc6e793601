// The serial port on Windows: the communications interface of the system,
// with overlapped transfers so that the reader thread's wait for line
// events and the scheme's writes and reads share one port handle.
#include "components/serial/serial_device.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "components/serial/line_settings_win32.h"
#include "components/serial/win32_handles.h"
#include "core/win32_api.h"

namespace vn::serial {
namespace {

// The "\\.\" prefix reaches every device name; without it only COM1..COM9
// are found.
std::optional<std::string> DevicePath(std::string_view name) {
  // A zero byte would end the path early, and "COM5<zero>x" would open COM5.
  if (name.find('\0') != std::string_view::npos) return std::nullopt;
  std::string path = "\\\\.\\";
  path.append(name);
  return path;
}

// How long a close waits for the reader's wait to end after the event mask
// was cleared.
constexpr DWORD kWaitEndLimitMs = 2000;

// A refused wait for line events is tried again after this pause.
constexpr DWORD kWaitRetryMs = 5;

// How often the reader looks at the queue while a wait goes on.
constexpr DWORD kQueueLookMs = 100;

// Errors after which the port will not answer again: the device went away
// (a USB adapter pulled out) or the handle is no longer valid.
bool PortIsGone(DWORD error) {
  switch (error) {
    case ERROR_INVALID_HANDLE:
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_GEN_FAILURE:
    case ERROR_OPERATION_ABORTED:
      return true;
    default:
      return false;
  }
}

PlatformError ErrorOf(const char* operation) { return {operation, static_cast<long>(::GetLastError())}; }

}  // namespace

struct SerialDevice::Impl {
  FileHandle port;

  // The reader's wait for line events. Memory and event stay with the
  // device until the last owner lets go, because the reader thread may
  // still be on its way out of the wait after Close.
  EventHandle waitEvent;
  OVERLAPPED waitRecord{};
  DWORD eventWord = 0;
  bool waitStarted = false;
  bool waitRefused = false;  // refused because the port is gone
  DWORD mask = 0;            // the event mask last set
  DWORD unreadReported = 0;  // queue count taken as an event and not read since

  // Shared by writes and reads, which the scheme never runs at once; with no
  // event of its own, completion is awaited on the port handle.
  OVERLAPPED ioRecord{};

  // The last fetched device control block: the fields that the line
  // settings record leaves out go back to the port as they came.
  DCB fetched{};

  PlatformError lastError;

  bool Fail(const char* operation) {
    lastError = ErrorOf(operation);
    return false;
  }

  bool FailClosed(const char* operation) {
    lastError = {operation, ERROR_INVALID_HANDLE};
    return false;
  }

  // Waits for the transfer on `ioRecord` to finish: the byte count, or none
  // when it completed with a failure.
  std::optional<DWORD> CompleteTransfer(const char* operation) {
    DWORD transferred = 0;
    // Waiting on the handle can also end when another transfer on it (the
    // reader's wait) completes; only the record itself tells ours is done.
    do {
      if (!::GetOverlappedResult(port.Get(), &ioRecord, &transferred, /*bWait=*/TRUE)) {
        Fail(operation);
        return std::nullopt;
      }
    } while (!HasOverlappedIoCompleted(&ioRecord));
    return transferred;
  }
};

SerialDevice::SerialDevice(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

SerialDevice::~SerialDevice() = default;

std::shared_ptr<SerialDevice> SerialDevice::Open(std::string_view name, PlatformError* error) {
  PlatformError local;
  PlatformError& failure = error != nullptr ? *error : local;
  const std::optional<std::string> path = DevicePath(name);
  if (!path) {
    failure = {"CreateFileA", ERROR_INVALID_NAME};
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  impl->port = FileHandle(::CreateFileA(path->c_str(), GENERIC_READ | GENERIC_WRITE, /*dwShareMode=*/0, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  if (!impl->port.Valid()) {
    failure = ErrorOf("CreateFileA");
    return nullptr;
  }
  impl->waitEvent =
      EventHandle(::CreateEventA(nullptr, /*bManualReset=*/TRUE, /*bInitialState=*/FALSE, nullptr));
  if (!impl->waitEvent.Valid()) {
    failure = ErrorOf("CreateEventA");
    return nullptr;
  }
  impl->fetched.DCBlength = sizeof(DCB);
  return std::shared_ptr<SerialDevice>(new SerialDevice(std::move(impl)));
}

bool SerialDevice::CanOpen(std::string_view name) {
  const std::optional<std::string> path = DevicePath(name);
  if (!path) return false;
  const FileHandle probe(::CreateFileA(path->c_str(), GENERIC_READ | GENERIC_WRITE, /*dwShareMode=*/0, nullptr,
                                       OPEN_EXISTING, /*dwFlagsAndAttributes=*/0, nullptr));
  return probe.Valid();
}

void SerialDevice::RaiseThreadPriority() { ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST); }

bool SerialDevice::Purge(PurgeMode mode) {
  Impl& d = *impl_;
  if (!d.port.Valid()) return d.FailClosed("PurgeComm");
  DWORD flags = PURGE_TXCLEAR | PURGE_RXCLEAR;
  if (mode == PurgeMode::AbortAndClear) flags |= PURGE_TXABORT | PURGE_RXABORT;
  return ::PurgeComm(d.port.Get(), flags) || d.Fail("PurgeComm");
}

void SerialDevice::SetupQueues(std::int32_t input, std::int32_t output) {
  Impl& d = *impl_;
  if (!d.port.Valid()) return;
  ::SetupComm(d.port.Get(), static_cast<DWORD>(input), static_cast<DWORD>(output));
}

bool SerialDevice::FetchLineSettings(LineSettings& settings) {
  Impl& d = *impl_;
  if (!d.port.Valid()) return d.FailClosed("GetCommState");
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  if (!::GetCommState(d.port.Get(), &dcb)) return d.Fail("GetCommState");
  d.fetched = dcb;
  settings = LineSettingsOf(dcb);
  return true;
}

bool SerialDevice::ApplyLineSettings(const LineSettings& settings) {
  Impl& d = *impl_;
  if (!d.port.Valid()) return d.FailClosed("SetCommState");
  DCB dcb = d.fetched;
  PutLineSettings(settings, dcb);
  return ::SetCommState(d.port.Get(), &dcb) || d.Fail("SetCommState");
}

bool SerialDevice::ApplyTimeouts(const LineTimeouts& timeouts) {
  Impl& d = *impl_;
  if (!d.port.Valid()) return d.FailClosed("SetCommTimeouts");
  COMMTIMEOUTS record{};
  record.ReadIntervalTimeout = timeouts.ReadInterval;
  record.ReadTotalTimeoutMultiplier = timeouts.ReadTotalMultiplier;
  record.ReadTotalTimeoutConstant = timeouts.ReadTotalConstant;
  record.WriteTotalTimeoutMultiplier = timeouts.WriteTotalMultiplier;
  record.WriteTotalTimeoutConstant = timeouts.WriteTotalConstant;
  return ::SetCommTimeouts(d.port.Get(), &record) || d.Fail("SetCommTimeouts");
}

bool SerialDevice::SetEventMask(std::uint32_t mask) {
  Impl& d = *impl_;
  if (!d.port.Valid()) return d.FailClosed("SetCommMask");
  // The system completes a pending WaitCommEvent when the mask changes,
  // which is how a close ends the reader's wait.
  d.mask = mask;
  return ::SetCommMask(d.port.Get(), mask) || d.Fail("SetCommMask");
}

void SerialDevice::StartEventWait() {
  Impl& d = *impl_;
  if (!d.port.Valid()) {
    d.waitStarted = false;
    d.waitRefused = true;
    d.FailClosed("WaitCommEvent");
    return;
  }
  if (d.waitStarted) return;  // the last wait is still pending: keep it
  d.waitRecord = OVERLAPPED{};
  d.waitRecord.hEvent = d.waitEvent.Get();
  d.eventWord = 0;
  d.waitRefused = false;
  // A wait that neither started nor completed would never signal the
  // event: AwaitEvent must not block on it then.
  d.waitStarted =
      ::WaitCommEvent(d.port.Get(), &d.eventWord, &d.waitRecord) || ::GetLastError() == ERROR_IO_PENDING;
  if (!d.waitStarted) {
    d.Fail("WaitCommEvent");
    d.waitRefused = PortIsGone(static_cast<DWORD>(d.lastError.code));
  }
}

// Runs without the scheme lock: touches only the reader's own wait, never
// the port handle, which a close may release meanwhile.
bool SerialDevice::AwaitEvent() {
  const Impl& d = *impl_;
  if (!d.waitStarted) {
    // A port that is gone ends the reader. Any other refusal is passing:
    // wine refuses a new wait while its last one is still being cleaned up,
    // and ending the reader there would lose every later answer.
    if (d.waitRefused) return false;
    ::Sleep(kWaitRetryMs);
    return true;
  }
  // Not without limit: FinishEventWait also looks at the queue now and then
  // (see there).
  const DWORD waited = ::WaitForSingleObject(d.waitEvent.Get(), kQueueLookMs);
  return waited == WAIT_OBJECT_0 || waited == WAIT_TIMEOUT;
}

std::optional<std::uint32_t> SerialDevice::FinishEventWait() {
  Impl& d = *impl_;
  if (!d.port.Valid()) {
    d.FailClosed("GetOverlappedResult");
    return std::nullopt;
  }
  if (!d.waitStarted) return std::nullopt;  // a refused wait: try again
  if (HasOverlappedIoCompleted(&d.waitRecord)) {
    d.waitStarted = false;
    DWORD unused = 0;
    if (!::GetOverlappedResult(d.port.Get(), &d.waitRecord, &unused, /*bWait=*/FALSE)) {
      d.Fail("GetOverlappedResult");
      return std::nullopt;
    }
    return d.eventWord;
  }
  // Still waiting. Windows keeps events that happen between two waits and
  // reports them to the next one; wine forgets bytes that arrived before a
  // wait began, and the answer would sit unread until the next one came.
  // New bytes in the queue while the wait goes on are taken as the event.
  DWORD errors = 0;
  COMSTAT status{};
  if ((d.mask & EV_RXCHAR) == 0 || !::ClearCommError(d.port.Get(), &errors, &status)) return std::nullopt;
  if (status.cbInQue == 0 || status.cbInQue == d.unreadReported) return std::nullopt;
  d.unreadReported = status.cbInQue;
  ::SetCommMask(d.port.Get(), d.mask);  // completes the pending wait
  ::WaitForSingleObject(d.waitEvent.Get(), kWaitEndLimitMs);
  d.waitStarted = false;
  return EV_RXCHAR;
}

bool SerialDevice::QueryStatus(std::uint32_t& errors, std::uint32_t& inQueue) {
  Impl& d = *impl_;
  if (!d.port.Valid()) return d.FailClosed("ClearCommError");
  DWORD errorWord = 0;
  COMSTAT status{};
  if (!::ClearCommError(d.port.Get(), &errorWord, &status)) return d.Fail("ClearCommError");
  errors = errorWord;
  inQueue = status.cbInQue;
  return true;
}

bool SerialDevice::QueryModemStatus(std::uint32_t& status) {
  Impl& d = *impl_;
  if (!d.port.Valid()) return d.FailClosed("GetCommModemStatus");
  DWORD word = 0;
  if (!::GetCommModemStatus(d.port.Get(), &word)) return d.Fail("GetCommModemStatus");
  status = word;
  return true;
}

std::optional<std::uint32_t> SerialDevice::Write(std::string_view bytes) {
  Impl& d = *impl_;
  if (!d.port.Valid()) {
    d.FailClosed("WriteFile");
    return std::nullopt;
  }
  if (bytes.size() > std::numeric_limits<DWORD>::max()) {
    d.lastError = {"WriteFile", ERROR_INVALID_PARAMETER};
    return std::nullopt;
  }
  d.ioRecord = OVERLAPPED{};
  if (!::WriteFile(d.port.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &d.ioRecord) &&
      ::GetLastError() != ERROR_IO_PENDING) {
    d.Fail("WriteFile");
    return std::nullopt;
  }
  return d.CompleteTransfer("WriteFile").value_or(0);
}

std::optional<std::string> SerialDevice::Read(std::uint32_t count) {
  Impl& d = *impl_;
  if (!d.port.Valid()) {
    d.FailClosed("ReadFile");
    return std::nullopt;
  }
  std::string bytes(count, '\0');
  d.ioRecord = OVERLAPPED{};
  if (!::ReadFile(d.port.Get(), bytes.data(), count, nullptr, &d.ioRecord) && ::GetLastError() != ERROR_IO_PENDING) {
    d.Fail("ReadFile");
    return std::nullopt;
  }
  const std::optional<DWORD> received = d.CompleteTransfer("ReadFile");
  d.unreadReported = 0;  // what was reported has been read
  bytes.resize(std::min<std::size_t>(received.value_or(0), bytes.size()));
  return bytes;
}

void SerialDevice::Flush() {
  Impl& d = *impl_;
  if (d.port.Valid() && !::FlushFileBuffers(d.port.Get())) d.Fail("FlushFileBuffers");
}

void SerialDevice::Close() {
  Impl& d = *impl_;
  if (!d.port.Valid()) return;
  // Windows has ended the reader's wait when SetCommMask(0) returns; wine
  // ends it a moment later from a thread of its own, and drops a wait whose
  // handle was closed meanwhile without ever signalling it, which would
  // leave the reader blocked for good. So the handle stays until the wait
  // is over (within a limit, for a driver that never ends it).
  if (d.waitStarted) ::WaitForSingleObject(d.waitEvent.Get(), kWaitEndLimitMs);
  d.port.Reset();
}

// Stands in until the reader waits for an adapter's packets.
std::chrono::microseconds SerialDevice::AdapterTick() const { return std::chrono::microseconds{0}; }

const PlatformError& SerialDevice::LastError() const { return impl_->lastError; }

}  // namespace vn::serial

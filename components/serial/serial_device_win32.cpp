// The serial port on Windows: the communications interface of the system,
// with overlapped transfers so that the reader thread's wait for line
// events and the scheme's writes and reads share one port handle.
#include "components/serial/serial_device.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <mutex>
#include <utility>

#include "components/serial/burst_timing.h"
#include "components/serial/line_delivery_win32.h"
#include "components/serial/line_settings_win32.h"
#include "components/serial/timer_period_win32.h"
#include "components/serial/win32_handles.h"
#include "core/win32_api.h"

namespace vn::serial {
namespace {

using Clock = std::chrono::steady_clock;

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

// While a burst comes in, the queue is looked at this many times per quiet
// span, so the burst is over at most a quarter quiet after its quiet.
constexpr int kLooksPerQuiet = 4;

// A waiting thread wakes up to a millisecond late even with the timer at
// 1 ms, and waits count in whole milliseconds: a quiet shorter than this (a
// UART at the device's rate: 0.8 ms) is waited out by yielding instead, or
// every answer would cost a wake-up more than the quiet.
constexpr std::chrono::milliseconds kShortestSleep{2};

// Waits count in whole milliseconds; a shorter wait would end too early.
DWORD MillisecondsUp(Clock::duration span) {
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(span).count();
  return static_cast<DWORD>(std::clamp<long long>(ms, 0, INFINITE - 1));
}

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
  // Released only in Close, which holds the scheme lock and `portMutex`:
  // calls under the scheme lock use it freely, the reader's wait for the
  // end of a burst (which runs without the scheme lock) only under
  // `portMutex`.
  FileHandle port;
  std::mutex portMutex;
  // Under `portMutex`: the queue count taken as an event and not read
  // since, and the line errors that the burst wait's queue queries
  // cleared, kept for the next status query to report.
  DWORD unreadReported = 0;
  DWORD keptErrors = 0;

  // The reader's wait for line events. Memory and event stay with the
  // device until the last owner lets go, because the reader thread may
  // still be on its way out of the wait after Close.
  EventHandle waitEvent;
  OVERLAPPED waitRecord{};
  DWORD eventWord = 0;
  bool waitStarted = false;
  bool waitRefused = false;  // refused because the port is gone
  bool bytesCameDuringWait = false;
  std::atomic<DWORD> mask{0};  // the event mask last set

  // Set by a mask change and by Close: ends a wait for the end of a burst.
  EventHandle burstCut;
  std::atomic<std::uint32_t> baud{9600};  // of the line last set
  LineDelivery delivery;  // fixed at open
  std::optional<FineTimerPeriod> fineTimer;  // while the port is open

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

  // The number of received bytes waiting, from the burst wait; none once
  // the port is closed or fails.
  std::optional<DWORD> WaitingBytes() {
    std::lock_guard lock(portMutex);
    if (!port.Valid()) return std::nullopt;
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(port.Get(), &errors, &status)) return std::nullopt;
    keptErrors |= errors;
    return status.cbInQue;
  }

  // Whether bytes came that no event has reported yet (see FinishEventWait).
  bool UnreportedBytesWaiting() {
    if ((mask.load() & EV_RXCHAR) == 0) return false;
    const std::optional<DWORD> waiting = WaitingBytes();
    std::lock_guard lock(portMutex);
    return waiting && *waiting != 0 && *waiting != unreadReported;
  }

  // A pseudo-terminal hands over every byte the moment it comes, a UART in
  // pieces of up to its FIFO trigger level, and a USB adapter an answer that
  // straddles its packet tick as two packets a tick apart; any of them could
  // bring a device's short answer to the scheme as two reads, which the
  // protocol takes for a broken answer. So received bytes are reported once
  // the queue has not grown for a little longer than the hardware leaves
  // between the pieces of one answer. A mask change or a close cuts the
  // wait short.
  void AwaitBurstEnd() {
    const BurstTiming timing = BurstTimingFor(baud.load(), delivery.adapterTick, delivery.fifoTrigger);
    const bool yieldOnly = timing.quiet < kShortestSleep;
    const Clock::duration look =
        yieldOnly ? Clock::duration(timing.quiet / kLooksPerQuiet)
                  : std::max<Clock::duration>(timing.quiet / kLooksPerQuiet, std::chrono::milliseconds(1));
    const Clock::time_point begun = Clock::now();
    Clock::time_point lastChange = begun;
    DWORD last = 0;
    for (;;) {
      const std::optional<DWORD> waiting = WaitingBytes();
      if (!waiting || *waiting == 0 || *waiting >= timing.maxBytes) return;
      const Clock::time_point now = Clock::now();
      if (*waiting != last) {
        last = *waiting;
        lastChange = now;
      }
      const Clock::time_point end = std::min(lastChange + timing.quiet, begun + timing.limit);
      if (now >= end) return;
      if (!Pause(std::min(look, end - now), yieldOnly)) return;
    }
  }

  // False when a mask change or a close cut the pause short.
  bool Pause(Clock::duration span, bool yieldOnly) {
    if (!yieldOnly) return ::WaitForSingleObject(burstCut.Get(), MillisecondsUp(span)) == WAIT_TIMEOUT;
    const Clock::time_point until = Clock::now() + span;
    while (Clock::now() < until) {
      if (::WaitForSingleObject(burstCut.Get(), 0) != WAIT_TIMEOUT) return false;
      ::SwitchToThread();
    }
    return true;
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
  impl->burstCut = EventHandle(::CreateEventA(nullptr, /*bManualReset=*/TRUE, /*bInitialState=*/FALSE, nullptr));
  if (!impl->burstCut.Valid()) {
    failure = ErrorOf("CreateEventA");
    return nullptr;
  }
  impl->fetched.DCBlength = sizeof(DCB);
  impl->delivery = LineDeliveryOfPort(name);
  impl->fineTimer.emplace();
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
  if (!::SetCommState(d.port.Get(), &dcb)) return d.Fail("SetCommState");
  d.baud.store(settings.Baud);
  return true;
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
  d.mask.store(mask);
  ::SetEvent(d.burstCut.Get());
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
  // Cuts meant for an earlier wait (a mask set before the reader began)
  // must not end this one's burst early.
  ::ResetEvent(d.burstCut.Get());
  d.bytesCameDuringWait = false;
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

// Runs without the scheme lock: touches the reader's own wait, and the port
// handle, which a close may release meanwhile, only under the port mutex.
bool SerialDevice::AwaitEvent() {
  Impl& d = *impl_;
  if (!d.waitStarted) {
    // A port that is gone ends the reader. Any other refusal is passing:
    // wine refuses a new wait while its last one is still being cleaned up,
    // and ending the reader there would lose every later answer.
    if (d.waitRefused) return false;
    ::Sleep(kWaitRetryMs);
    return true;
  }
  // Not without limit: the queue is also looked at now and then (see
  // FinishEventWait).
  const DWORD waited = ::WaitForSingleObject(d.waitEvent.Get(), kQueueLookMs);
  if (waited == WAIT_OBJECT_0) {
    // The system fills in the event word before it signals the event.
    if ((d.eventWord & EV_RXCHAR) != 0) d.AwaitBurstEnd();
    return true;
  }
  if (waited != WAIT_TIMEOUT) return false;
  d.bytesCameDuringWait = d.UnreportedBytesWaiting();
  if (d.bytesCameDuringWait) d.AwaitBurstEnd();
  return true;
}

std::optional<std::uint32_t> SerialDevice::FinishEventWait() {
  Impl& d = *impl_;
  if (!d.port.Valid()) {
    d.FailClosed("GetOverlappedResult");
    return std::nullopt;
  }
  const bool bytesCame = std::exchange(d.bytesCameDuringWait, false);
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
  // New bytes in the queue while the wait went on (AwaitEvent looked) are
  // taken as the event, once for each count.
  if (!bytesCame) return std::nullopt;
  {
    std::lock_guard lock(d.portMutex);
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(d.port.Get(), &errors, &status)) return std::nullopt;
    d.keptErrors |= errors;
    d.unreadReported = status.cbInQue;
  }
  ::SetCommMask(d.port.Get(), d.mask.load());  // completes the pending wait
  ::WaitForSingleObject(d.waitEvent.Get(), kWaitEndLimitMs);
  d.waitStarted = false;
  return EV_RXCHAR;
}

bool SerialDevice::QueryStatus(std::uint32_t& errors, std::uint32_t& inQueue) {
  Impl& d = *impl_;
  if (!d.port.Valid()) return d.FailClosed("ClearCommError");
  DWORD errorWord = 0;
  COMSTAT status{};
  std::lock_guard lock(d.portMutex);
  if (!::ClearCommError(d.port.Get(), &errorWord, &status)) return d.Fail("ClearCommError");
  errors = errorWord | std::exchange(d.keptErrors, 0);
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
  {
    std::lock_guard lock(d.portMutex);
    d.unreadReported = 0;  // what was reported has been read
  }
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
  ::SetEvent(d.burstCut.Get());
  if (d.waitStarted) ::WaitForSingleObject(d.waitEvent.Get(), kWaitEndLimitMs);
  {
    std::lock_guard lock(d.portMutex);
    d.port.Reset();
  }
  d.fineTimer.reset();
}

std::chrono::microseconds SerialDevice::AdapterTick() const { return impl_->delivery.adapterTick; }

const PlatformError& SerialDevice::LastError() const { return impl_->lastError; }

}  // namespace vn::serial

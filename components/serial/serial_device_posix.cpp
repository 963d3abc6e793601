// The serial port on Linux: a tty named through the COM port map, driven so
// that it behaves as the Windows communications interface that the
// component was designed for (exclusive open, read and write time-outs, an
// event word from a cancellable wait).
#include "components/serial/serial_device.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <utility>

#include "components/serial/line_delivery_posix.h"
#include "components/serial/burst_timing.h"
#include "components/serial/line_limits.h"
#include "components/serial/posix_descriptor.h"
#include "components/serial/serial_port_map_posix.h"
#include "components/serial/termios2_linux.h"
#include "components/serial/transfer_timeouts.h"

namespace vn::serial {
namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

constexpr std::uint64_t kWakeToken = 1;
constexpr std::uint64_t kPortToken = 2;

// Line events that the driver cannot announce through the descriptor's
// readiness; they are looked for on a short tick while requested.
constexpr std::uint32_t kPolledEvents = line_event::TxEmpty | line_event::Cts | line_event::Dsr |
                                        line_event::Rlsd | line_event::Break | line_event::Err |
                                        line_event::Ring | line_event::Rx80Full;
constexpr int kPollTickMs = 20;

// The input buffer the kernel's line discipline keeps when nobody asked.
constexpr std::int32_t kDefaultInQueue = 4096;

int PollTimeout(std::optional<Clock::time_point> deadline) {
  if (!deadline) return -1;
  const auto left = std::chrono::ceil<Millis>(*deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

bool Expired(std::optional<Clock::time_point> deadline) { return deadline && Clock::now() >= *deadline; }

std::optional<Clock::time_point> Earliest(std::optional<Clock::time_point> a, std::optional<Clock::time_point> b) {
  if (!a) return b;
  if (!b) return a;
  return std::min(*a, *b);
}

std::uint32_t ErrorBitsBetween(const serial_icounter_struct& before, const serial_icounter_struct& now) {
  std::uint32_t errors = 0;
  if (now.frame != before.frame) errors |= line_error::Frame;
  if (now.parity != before.parity) errors |= line_error::RxParity;
  if (now.overrun != before.overrun) errors |= line_error::Overrun;
  if (now.buf_overrun != before.buf_overrun) errors |= line_error::RxOver;
  if (now.brk != before.brk) errors |= line_error::Break;
  return errors;
}

void SetModemLine(int fd, int line, bool on) {
  // Best effort: a pseudo-terminal has no modem lines and refuses.
  ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

// Unix98 pseudo-terminal slaves: what is written to one is in the other
// side's input at once, so there is no output left to discard.
bool IsPtySlave(int fd) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) return false;
  const unsigned major = major(status.st_rdev);
  return S_ISCHR(status.st_mode) && major >= 136 && major <= 143;
}

// Opens the device behind a COM name for exclusive use, as both Open and
// CanOpen need it.
PosixDescriptor OpenExclusive(std::string_view name, PlatformError& error, PortMapEntry* resolved = nullptr) {
  const std::optional<PortMapEntry> entry = PortMapEntryOf(name);
  if (!entry) {
    error = {"resolve port name", ENOENT};
    return {};
  }
  const std::string* path = &entry->devicePath;
  // A zero byte would silently cut the path short and open another file.
  if (path->empty() || path->find('\0') != std::string::npos) {
    error = {"resolve port name", EINVAL};
    return {};
  }
  // O_NONBLOCK: a port without carrier would otherwise block the open.
  PosixDescriptor fd(::open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.Valid()) {
    error = {"open", errno};
    return {};
  }
  if (::isatty(fd.Get()) == 0) {
    error = {"isatty", errno};
    return {};
  }
  // The lock keeps out every other user that locks too, root included
  // (TIOCEXCL lets root through).
  if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
    error = {"flock", errno};
    return {};
  }
  if (resolved != nullptr) *resolved = *entry;
  return fd;
}

// "ttyUSB0" for /dev/ttyUSB0 and for a by-id link to it.
std::string TtyNameOf(const std::string& devicePath) {
  std::error_code ec;
  const std::filesystem::path real = std::filesystem::canonical(devicePath, ec);
  return (ec ? std::filesystem::path(devicePath) : real).filename().string();
}

timespec TimespecOf(std::chrono::nanoseconds span) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(span);
  return {static_cast<time_t>(seconds.count()), static_cast<long>((span - seconds).count())};
}

}  // namespace

struct SerialDevice::Impl {
  // The port's descriptor changes only in Close, which holds both the
  // scheme lock and `mutex`: calls under the scheme lock use it freely,
  // the waiting reader only under `mutex`.
  PosixDescriptor port;
  PosixDescriptor wake;   // eventfd: ends a wait when the mask is cleared
  PosixDescriptor epoll;  // stays open while any owner holds the device

  // Touched only under the scheme lock.
  LineTimeouts timeouts;
  bool discardNull = false;
  PlatformError lastError;
  serial_icounter_struct statusCounts{};  // error counters at the last status query
  bool statusCountsKnown = false;

  std::atomic<std::uint32_t> mask{0};
  std::atomic<std::uint32_t> baud{9600};  // of the line now set

  // Fixed at open.
  LineDelivery delivery;
  bool pty = false;

  // Received bytes not yet reported: the reader's own.
  struct Burst {
    Clock::time_point first;
    Clock::time_point lastChange;
    int waiting = 0;
    BurstTiming timing;
  };
  std::optional<Burst> burst;

  // Shared with the waiting reader.
  std::mutex mutex;
  std::uint32_t pendingWord = 0;
  std::optional<PlatformError> waitError;
  std::int32_t inQueueSize = kDefaultInQueue;
  bool writePending = false;  // bytes written since the output queue was last seen empty
  bool rxFull = false;
  int modemLines = 0;
  bool modemKnown = false;
  serial_icounter_struct eventCounts{};
  bool eventCountsKnown = false;

  bool Fail(const char* operation, int code) {
    lastError = {operation, code};
    return false;
  }

  // A pseudo-terminal or a low-latency tty hands over every byte the
  // moment it comes, and a USB adapter an answer that straddles its tick
  // as two packets; either way a device's short answer could reach the
  // scheme as two reads, which the protocol takes for a broken answer.
  // Received bytes are reported once the line has been quiet for a little
  // longer than the adapter or the UART would leave between them.
  // With the mutex held and the port open.
  void NoteBytes(Clock::time_point now) {
    int waiting = 0;
    if (::ioctl(port.Get(), FIONREAD, &waiting) != 0) waiting = 0;
    if (!burst) {
      burst = Burst{now, now, waiting,
                    BurstTimingFor(baud.load(std::memory_order_relaxed), delivery.adapterTick, delivery.fifoTrigger)};
    } else if (waiting != burst->waiting) {
      burst->lastChange = now;
      burst->waiting = waiting;
    }
  }

  std::optional<Clock::time_point> BurstEnd() const {
    if (!burst) return std::nullopt;
    return std::min(burst->lastChange + burst->timing.quiet, burst->first + burst->timing.limit);
  }

  // Bytes the driver has taken from the line but the kernel's tty worker
  // has not yet passed on are invisible to FIONREAD; on a busy or virtual
  // machine the worker can lag for milliseconds, which would look like the
  // end of a burst. Polling the tty waits for such bytes to be passed on.
  // With the mutex held and the port open.
  bool BurstOver(Clock::time_point now) {
    if (!burst) return false;
    if (burst->waiting >= static_cast<int>(burst->timing.maxBytes)) return true;
    if (now < *BurstEnd()) return false;
    pollfd entry{port.Get(), POLLIN, 0};
    ::poll(&entry, 1, 0);
    const int before = burst->waiting;
    NoteBytes(Clock::now());
    return burst->waiting == before;
  }

  // epoll_wait counts in milliseconds, a burst's quiet in fractions of
  // one: the wait for the deadline is made on the epoll descriptor itself.
  int WaitForEvents(epoll_event* events, int capacity, std::optional<Clock::time_point> deadline) {
    if (deadline) {
      pollfd entry{epoll.Get(), POLLIN, 0};
      const timespec pause = TimespecOf(std::max<Clock::duration>(*deadline - Clock::now(), Clock::duration::zero()));
      const int ready = ::ppoll(&entry, 1, &pause, nullptr);
      if (ready <= 0) return ready;
    }
    return ::epoll_wait(epoll.Get(), events, capacity, deadline ? 0 : -1);
  }

  void Wake() {
    const std::uint64_t one = 1;
    // Cannot fail short of a counter near 2^64: nothing to do about it.
    [[maybe_unused]] const ssize_t written = ::write(wake.Get(), &one, sizeof one);
  }

  // Brings a wait failure over to where LastError can see it.
  void TakeWaitError() {
    if (waitError) lastError = *std::exchange(waitError, std::nullopt);
  }

  // The events of `mask` that happened since the last look. With the mutex
  // held and the port open.
  std::uint32_t LookForEvents(std::uint32_t wanted, bool bytesArrived) {
    namespace ev = line_event;
    const int fd = port.Get();
    std::uint32_t word = 0;
    if (bytesArrived || (wanted & ev::Rx80Full) != 0) {
      int waiting = 0;
      if (::ioctl(fd, FIONREAD, &waiting) == 0) {
        // An edge may come for bytes that a read already took: no event then.
        if (bytesArrived && waiting > 0) word |= ev::RxChar;
        const bool full = static_cast<std::int64_t>(waiting) * 10 >= static_cast<std::int64_t>(inQueueSize) * 8;
        if (full && !rxFull) word |= ev::Rx80Full;
        rxFull = full;
      }
    }
    if ((wanted & (ev::Cts | ev::Dsr | ev::Rlsd | ev::Ring)) != 0) {
      int lines = 0;
      if (::ioctl(fd, TIOCMGET, &lines) == 0) {
        const int changed = modemKnown ? (lines ^ modemLines) : 0;
        if ((changed & TIOCM_CTS) != 0) word |= ev::Cts;
        if ((changed & TIOCM_DSR) != 0) word |= ev::Dsr;
        if ((changed & TIOCM_CD) != 0) word |= ev::Rlsd;
        if ((changed & lines & TIOCM_RI) != 0) word |= ev::Ring;
        modemLines = lines;
        modemKnown = true;
      }
    }
    if ((wanted & (ev::Break | ev::Err)) != 0) {
      serial_icounter_struct counts{};
      if (::ioctl(fd, TIOCGICOUNT, &counts) == 0) {
        if (eventCountsKnown) {
          const std::uint32_t errors = ErrorBitsBetween(eventCounts, counts);
          if ((errors & line_error::Break) != 0) word |= ev::Break;
          if ((errors & ~line_error::Break) != 0) word |= ev::Err;
        }
        eventCounts = counts;
        eventCountsKnown = true;
      }
    }
    if ((wanted & ev::TxEmpty) != 0 && writePending) {
      int queued = 0;
      if (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued == 0) {
        word |= ev::TxEmpty;
        writePending = false;
      }
    }
    return word & wanted;
  }

  // Failure of a transfer: none when nothing had happened yet, else the
  // empty result of a failed completion.
  template <class Result>
  std::optional<Result> TransferFailed(const char* operation, int code, bool started) {
    Fail(operation, code);
    if (!started) return std::nullopt;
    return Result{};
  }

  // Waits until the port can take `events`, the deadline passes or the line
  // fails (which the next transfer then finds out); false when poll failed.
  bool WaitForPort(short events, std::optional<Clock::time_point> deadline, int& error) {
    for (;;) {
      pollfd entry{port.Get(), events, 0};
      const int ready = ::poll(&entry, 1, PollTimeout(deadline));
      if (ready >= 0) return true;
      if (errno != EINTR) {
        error = errno;
        return false;
      }
    }
  }

  // Whether the tty was hung up (the device is gone, the other end of a
  // pseudo-terminal closed).
  bool LineGone() {
    pollfd entry{port.Get(), POLLIN, 0};
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
  }
};

SerialDevice::SerialDevice(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

SerialDevice::~SerialDevice() {
  if (impl_) Close();
}

std::shared_ptr<SerialDevice> SerialDevice::Open(std::string_view name, PlatformError* error) {
  PlatformError local;
  PlatformError& failure = error != nullptr ? *error : local;
  auto impl = std::make_unique<Impl>();
  PortMapEntry entry;
  impl->port = OpenExclusive(name, failure, &entry);
  if (!impl->port.Valid()) return nullptr;
  const int fd = impl->port.Get();

  RawLineParams raw;
  if (!ReadRawLine(fd, raw)) {
    failure = {"TCGETS2", errno};
    return nullptr;
  }
  if (raw.baud == 0) raw.baud = 9600;  // speed 0 means "hang up", not a line
  if (!ApplyRawLine(fd, raw)) {
    failure = {"TCSETS2", errno};
    return nullptr;
  }
  impl->baud.store(raw.baud, std::memory_order_relaxed);
  RequestLowLatency(fd);
  LineDelivery delivery = LineDeliveryOfTty("/sys/class/tty", TtyNameOf(entry.devicePath));
  if (entry.adapterTick) delivery = {*entry.adapterTick, 1};
  impl->delivery = delivery;
  impl->pty = IsPtySlave(fd);

  impl->wake = PosixDescriptor(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!impl->wake.Valid()) {
    failure = {"eventfd", errno};
    return nullptr;
  }
  impl->epoll = PosixDescriptor(::epoll_create1(EPOLL_CLOEXEC));
  if (!impl->epoll.Valid()) {
    failure = {"epoll_create1", errno};
    return nullptr;
  }
  epoll_event wakeEntry{};
  wakeEntry.events = EPOLLIN;
  wakeEntry.data.u64 = kWakeToken;
  // Edge-triggered like the byte-received event: it reports new bytes, not
  // bytes that still wait unread, so a reader nobody answers does not spin.
  epoll_event portEntry{};
  portEntry.events = EPOLLIN | EPOLLET;
  portEntry.data.u64 = kPortToken;
  if (::epoll_ctl(impl->epoll.Get(), EPOLL_CTL_ADD, impl->wake.Get(), &wakeEntry) != 0 ||
      ::epoll_ctl(impl->epoll.Get(), EPOLL_CTL_ADD, fd, &portEntry) != 0) {
    failure = {"epoll_ctl", errno};
    return nullptr;
  }

  // Errors from before the open are not this user's.
  impl->statusCountsKnown = ::ioctl(fd, TIOCGICOUNT, &impl->statusCounts) == 0;
  // Best effort, last, so that no failed open leaves it behind: keeps out
  // programs that do not lock.
  ::ioctl(fd, TIOCEXCL);
  return std::shared_ptr<SerialDevice>(new SerialDevice(std::move(impl)));
}

bool SerialDevice::CanOpen(std::string_view name) {
  PlatformError ignored;
  return OpenExclusive(name, ignored).Valid();
}

std::vector<std::string> SerialDevice::ListPorts() {
  std::vector<std::string> names;
  for (PortMapEntry& entry : CurrentPortMap()) names.push_back(std::move(entry.comName));
  return names;
}

// Raising a thread above normal priority needs privileges (CAP_SYS_NICE)
// that a desktop user does not have; the reader sleeps in epoll_wait and is
// woken by the kernel as soon as bytes arrive, which is what matters. Its
// timed waits (a burst's quiet, under a millisecond on a UART) should end
// on time: the kernel's default 50 us of slack would add to every answer.
void SerialDevice::RaiseThreadPriority() { ::prctl(PR_SET_TIMERSLACK, 1000UL); }

bool SerialDevice::Purge(PurgeMode /*mode*/) {
  // Every transfer here is synchronous, so there is never one to abort.
  Impl& d = *impl_;
  if (!d.port.Valid()) return d.Fail("purge", EBADF);
  // On a pseudo-terminal the output flush would reach into the other
  // side's input and drop bytes already delivered, such as a last command.
  if (::tcflush(d.port.Get(), d.pty ? TCIFLUSH : TCIOFLUSH) != 0) return d.Fail("tcflush", errno);
  std::lock_guard lock(d.mutex);
  d.writePending = false;
  return true;
}

// The kernel keeps its tty buffers at fixed sizes; only the input size is
// kept, for the 80 % event.
void SerialDevice::SetupQueues(std::int32_t input, std::int32_t /*output*/) {
  Impl& d = *impl_;
  std::lock_guard lock(d.mutex);
  d.inQueueSize = input > 0 ? input : kDefaultInQueue;
}

bool SerialDevice::FetchLineSettings(LineSettings& settings) {
  Impl& d = *impl_;
  if (!d.port.Valid()) return d.Fail("fetch line settings", EBADF);
  RawLineParams raw;
  if (!ReadRawLine(d.port.Get(), raw)) return d.Fail("TCGETS2", errno);
  settings.Baud = raw.baud;
  settings.ByteSize = raw.dataBits;
  settings.Parity = raw.parity;
  settings.StopBits = raw.stopBits;
  settings.XonChar = static_cast<char>(raw.xonChar);
  settings.XoffChar = static_cast<char>(raw.xoffChar);
  std::uint32_t flags = line_flag::Binary;
  if (raw.ctsFlow) flags |= line_flag::OutxCtsFlow | (2u << line_flag::RtsControlShift);
  if (raw.xonXoffOut) flags |= line_flag::OutX;
  if (raw.xonXoffIn) flags |= line_flag::InX;
  if (raw.checkParity) flags |= line_flag::Parity;
  if (d.discardNull) flags |= line_flag::Null;
  settings.Flags = flags;
  return true;
}

bool SerialDevice::ApplyLineSettings(const LineSettings& settings) {
  Impl& d = *impl_;
  if (!d.port.Valid()) return d.Fail("apply line settings", EBADF);
  const std::uint32_t flags = settings.Flags;
  const std::uint32_t dtr = (flags & line_flag::DtrControlMask) >> line_flag::DtrControlShift;
  const std::uint32_t rts = (flags & line_flag::RtsControlMask) >> line_flag::RtsControlShift;
  constexpr std::uint32_t kRtsHandshake = 2;

  RawLineParams raw;
  raw.baud = settings.Baud;
  raw.dataBits = settings.ByteSize;
  raw.parity = settings.Parity;
  raw.stopBits = settings.StopBits;
  raw.ctsFlow = (flags & line_flag::OutxCtsFlow) != 0 || rts == kRtsHandshake;
  raw.xonXoffOut = (flags & line_flag::OutX) != 0;
  raw.xonXoffIn = (flags & line_flag::InX) != 0;
  raw.xonChar = static_cast<std::uint8_t>(settings.XonChar);
  raw.xoffChar = static_cast<std::uint8_t>(settings.XoffChar);
  raw.checkParity = (flags & line_flag::Parity) != 0;
  if (!LineCanTake(settings)) return d.Fail("line settings", EINVAL);
  if (!ApplyRawLine(d.port.Get(), raw)) return d.Fail("TCSETS2", errno);
  d.baud.store(raw.baud, std::memory_order_relaxed);

  d.discardNull = (flags & line_flag::Null) != 0;
  // Control 0 drops the line; enable, handshake and toggle all start with
  // it raised (the driver takes RTS over under hardware flow control).
  SetModemLine(d.port.Get(), TIOCM_DTR, dtr != 0);
  SetModemLine(d.port.Get(), TIOCM_RTS, rts != 0);
  return true;
}

bool SerialDevice::ApplyTimeouts(const LineTimeouts& timeouts) {
  Impl& d = *impl_;
  if (!d.port.Valid()) return d.Fail("apply time-outs", EBADF);
  d.timeouts = timeouts;
  return true;
}

bool SerialDevice::SetEventMask(std::uint32_t mask) {
  Impl& d = *impl_;
  bool open = false;
  {
    std::lock_guard lock(d.mutex);
    d.TakeWaitError();
    open = d.port.Valid();
    if (mask != 0 && open) {
      // Start from the line as it is now: only later changes are events.
      d.modemKnown = false;
      d.eventCountsKnown = false;
      d.rxFull = false;
      d.LookForEvents(mask & ~line_event::TxEmpty, /*bytesArrived=*/false);
    }
    if (mask == 0 || open) d.mask.store(mask, std::memory_order_release);
  }
  d.Wake();  // a waiter re-reads the mask; with 0 it ends
  return open ? true : d.Fail("set event mask", EBADF);
}

void SerialDevice::StartEventWait() {}

bool SerialDevice::AwaitEvent() {
  Impl& d = *impl_;
  for (;;) {
    const std::uint32_t mask = d.mask.load(std::memory_order_acquire);
    if (mask == 0) return false;  // switched off: nothing left to wait for
    std::optional<Clock::time_point> deadline = d.BurstEnd();
    if ((mask & kPolledEvents) != 0) deadline = Earliest(deadline, Clock::now() + Millis(kPollTickMs));
    epoll_event events[2];
    const int count = d.WaitForEvents(events, 2, deadline);
    const int waitErrno = errno;
    if (count < 0 && waitErrno == EINTR) continue;

    std::lock_guard lock(d.mutex);
    if (count < 0) {
      d.waitError = PlatformError{"epoll_wait", waitErrno};
      return false;
    }
    bool bytesArrived = false;
    for (int i = 0; i < count; ++i) {
      if (events[i].data.u64 == kWakeToken) {
        std::uint64_t value = 0;
        [[maybe_unused]] const ssize_t taken = ::read(d.wake.Get(), &value, sizeof value);
        continue;
      }
      // The device is gone (a USB adapter pulled out, the other end of a
      // pseudo-terminal closed): the wait ends for good.
      if ((events[i].events & (EPOLLHUP | EPOLLERR)) != 0) {
        d.waitError = PlatformError{"wait for line events", EIO};
        return false;
      }
      if ((events[i].events & EPOLLIN) != 0) bytesArrived = true;
    }
    const std::uint32_t current = d.mask.load(std::memory_order_acquire);
    if (current == 0 || !d.port.Valid()) return false;
    const Clock::time_point now = Clock::now();
    if (bytesArrived) d.NoteBytes(now);
    const bool burstOver = d.BurstOver(now);
    if (burstOver) d.burst.reset();
    const std::uint32_t word = d.LookForEvents(current, burstOver);
    if (word != 0) {
      d.pendingWord |= word;
      return true;
    }
  }
}

std::optional<std::uint32_t> SerialDevice::FinishEventWait() {
  Impl& d = *impl_;
  std::lock_guard lock(d.mutex);
  d.TakeWaitError();
  return std::exchange(d.pendingWord, 0);
}

bool SerialDevice::QueryStatus(std::uint32_t& errors, std::uint32_t& inQueue) {
  Impl& d = *impl_;
  errors = 0;
  inQueue = 0;
  if (!d.port.Valid()) return d.Fail("query status", EBADF);
  int waiting = 0;
  if (::ioctl(d.port.Get(), FIONREAD, &waiting) != 0) return d.Fail("FIONREAD", errno);
  inQueue = static_cast<std::uint32_t>(std::max(waiting, 0));
  // Drivers without counters (pseudo-terminals, many USB adapters) report
  // no line errors at all.
  serial_icounter_struct counts{};
  if (::ioctl(d.port.Get(), TIOCGICOUNT, &counts) == 0) {
    if (d.statusCountsKnown) errors = ErrorBitsBetween(d.statusCounts, counts);
    d.statusCounts = counts;
    d.statusCountsKnown = true;
  }
  return true;
}

bool SerialDevice::QueryModemStatus(std::uint32_t& status) {
  Impl& d = *impl_;
  status = 0;
  if (!d.port.Valid()) return d.Fail("query modem status", EBADF);
  int lines = 0;
  if (::ioctl(d.port.Get(), TIOCMGET, &lines) != 0) return d.Fail("TIOCMGET", errno);
  if ((lines & TIOCM_CTS) != 0) status |= modem_line::Cts;
  if ((lines & TIOCM_DSR) != 0) status |= modem_line::Dsr;
  if ((lines & TIOCM_RI) != 0) status |= modem_line::Ring;
  if ((lines & TIOCM_CD) != 0) status |= modem_line::Rlsd;
  return true;
}

std::optional<std::uint32_t> SerialDevice::Write(std::string_view bytes) {
  Impl& d = *impl_;
  if (!d.port.Valid()) {
    d.Fail("write", EBADF);
    return std::nullopt;
  }
  const std::size_t size = std::min<std::size_t>(bytes.size(), UINT32_MAX);
  const std::optional<Millis> limit =
      TotalLimit(d.timeouts.WriteTotalMultiplier, d.timeouts.WriteTotalConstant, size);
  const std::optional<Clock::time_point> deadline =
      limit ? std::optional(Clock::now() + *limit) : std::nullopt;

  std::size_t done = 0;
  bool started = false;
  while (done < size) {
    const ssize_t written = ::write(d.port.Get(), bytes.data() + done, std::min<std::size_t>(size - done, SSIZE_MAX));
    if (written > 0) {
      done += static_cast<std::size_t>(written);
      started = true;
      std::lock_guard lock(d.mutex);
      d.writePending = true;
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno == EAGAIN) {
      started = true;
      if (Expired(deadline)) break;  // timed out: report what went out
      int error = 0;
      if (!d.WaitForPort(POLLOUT, deadline, error)) return d.TransferFailed<std::uint32_t>("poll", error, true);
      continue;
    }
    return d.TransferFailed<std::uint32_t>("write", written < 0 ? errno : EIO, started);
  }
  return static_cast<std::uint32_t>(done);
}

std::optional<std::string> SerialDevice::Read(std::uint32_t count) {
  Impl& d = *impl_;
  if (!d.port.Valid()) {
    d.Fail("read", EBADF);
    return std::nullopt;
  }
  std::string bytes;
  if (count == 0) return bytes;
  const ReadPlan plan = PlanRead(d.timeouts, count);
  const Clock::time_point start = Clock::now();
  Clock::time_point lastByte = start;
  bool started = false;
  char buffer[4096];

  for (;;) {
    const std::size_t want = std::min<std::size_t>(count - bytes.size(), sizeof buffer);
    const ssize_t got = ::read(d.port.Get(), buffer, want);
    if (got > 0) {
      started = true;
      const std::string_view chunk(buffer, static_cast<std::size_t>(got));
      if (d.discardNull) {
        std::copy_if(chunk.begin(), chunk.end(), std::back_inserter(bytes), [](char c) { return c != '\0'; });
      } else {
        bytes.append(chunk);
      }
      lastByte = Clock::now();
      if (bytes.size() >= count) return bytes;
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && errno != EAGAIN) return d.TransferFailed<std::string>("read", errno, started);
    // Nothing is buffered: a raw tty then reads 0 bytes, just as a hung-up
    // one does, so ask which it is.
    if (d.LineGone()) return d.TransferFailed<std::string>("read", EIO, started);
    started = true;

    const ReadWait wait =
        NextReadWait(plan, start, bytes.empty() ? std::nullopt : std::optional(lastByte), Clock::now());
    if (wait.done) return bytes;
    int error = 0;
    if (!d.WaitForPort(POLLIN, wait.until, error)) return d.TransferFailed<std::string>("poll", error, started);
  }
}

void SerialDevice::Flush() {
  Impl& d = *impl_;
  if (d.port.Valid() && ::tcdrain(d.port.Get()) != 0) d.Fail("tcdrain", errno);
}

void SerialDevice::Close() {
  Impl& d = *impl_;
  {
    std::lock_guard lock(d.mutex);
    d.mask.store(0, std::memory_order_release);
    if (d.port.Valid()) {
      const int fd = d.port.Get();
      ::epoll_ctl(d.epoll.Get(), EPOLL_CTL_DEL, fd, nullptr);
      // The exclusive flag belongs to the tty, not to this descriptor: left
      // set, it would keep later opens out while anyone else holds the tty.
      ::ioctl(fd, TIOCNXCL);
      ::flock(fd, LOCK_UN);
      d.port.Reset();
    }
  }
  d.Wake();
}

std::chrono::microseconds SerialDevice::AdapterTick() const { return impl_->delivery.adapterTick; }

const PlatformError& SerialDevice::LastError() const { return impl_->lastError; }

}  // namespace vn::serial

#include "tools/sim/session.h"

#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <csignal>
#include <cstring>
#include <deque>
#include <fstream>
#include <optional>
#include <random>
#include <utility>

#include "tools/sim/adapter_model.h"
#include "tools/sim/line_pacing.h"

namespace vn::sim {
namespace {

volatile std::sig_atomic_t gStopRequested = 0;

extern "C" void OnStopSignal(int) { gStopRequested = 1; }

LineTime Now() {
  return std::chrono::duration_cast<LineTime>(std::chrono::steady_clock::now().time_since_epoch());
}

// A pty master reports POLLHUP for as long as no host holds the slave open,
// so that state cannot be waited for with poll: it is looked at this often.
constexpr std::chrono::milliseconds kHostCheck{5};

class Session {
 public:
  Session(LinePort& port, const Options& options)
      : port_(port),
        options_(options),
        pacing_(options.baud),
        random_(options.seed.value_or(0)),
        hostOpen_(!port.pty) {
    if (options.adapterTick.count() > 0) {
      // The adapter's timer runs from its power-up, not from our requests.
      std::uniform_int_distribution<std::int64_t> phase(0, options.adapterTick.count() - 1);
      adapter_.emplace(options.adapterTick, std::chrono::nanoseconds(phase(random_)), options.adapterBuffer);
    }
  }

  // Sets up the stop signals once, before the first Play.
  bool CatchStopSignals(std::string& error);
  bool OpenWriteLog(std::string& error);
  // Before the summary is told: whoever reads it may read the log next.
  void FlushWriteLog() { writeLog_.flush(); }
  // Plays `model` until it ends. Before `appearAt` the line is dead: bytes
  // received are dropped and the time-out does not run.
  SessionEnd Play(DeviceModel& model, LineTime appearAt, std::string& error);

 private:
  struct Outgoing {
    LineTime due;
    std::string bytes;
  };

  std::optional<LineTime> WakeTime(LineTime now) const;
  bool CheckHost(std::string& error);
  bool Receive(std::string& error);
  LineTime Turnaround();
  void Schedule(const Reply& reply, LineTime start);
  void Queue(LineTime due, const std::string& bytes);
  bool SendDue(LineTime now, std::string& error);
  void LogWrite(LineTime due, std::string_view bytes);
  bool Fail(const char* call, std::string& error);
  SessionEnd SystemError(const char* call, std::string& error);

  LinePort& port_;
  const Options& options_;
  DeviceModel* model_ = nullptr;  // the device now on the line (or awaited)
  LineTime appearAt_{0};
  sigset_t waitMask_{};  // the signal mask inside ppoll
  LinePacing pacing_;
  std::mt19937_64 random_;
  // With an adapter, bytes go through it first; the outbox holds what is
  // due to be written, one write an entry.
  std::optional<AdapterModel> adapter_;
  std::deque<Outgoing> outbox_;
  bool hostOpen_;
  bool hungUp_ = false;
  bool heardFromHost_ = false;  // the host now on the line has sent the device a byte
  bool writeBlocked_ = false;
  LineTime lastByte_{0};
  std::optional<LineTime> launchedAt_;
  bool booted_ = false;  // --answer-after-pusk: the grace is over, the new firmware runs
  std::ofstream writeLog_;  // open only with --write-log
};

constexpr LineTime kSpinWindow = std::chrono::milliseconds(5);

bool Session::CatchStopSignals(std::string& error) {
  // The stop signals stay blocked except inside ppoll, so that one arriving
  // between two checks of the flag cannot be missed.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  if (sigprocmask(SIG_BLOCK, &stopSignals, &waitMask_) != 0) return Fail("sigprocmask", error);
  sigdelset(&waitMask_, SIGINT);
  sigdelset(&waitMask_, SIGTERM);
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  return true;
}

SessionEnd Session::Play(DeviceModel& model, LineTime appearAt, std::string& error) {
  model_ = &model;
  appearAt_ = appearAt;
  lastByte_ = appearAt;  // the time-out counts from the device's appearance
  heardFromHost_ = false;
  launchedAt_.reset();
  booted_ = false;
  for (;;) {
    if (gStopRequested != 0) return SessionEnd::Terminated;
    const LineTime now = Now();
    if (hostOpen_ && !SendDue(now, error)) return SessionEnd::SystemError;
    if (std::exchange(hungUp_, false)) {
      // A device that stays on the line after PUSK outlives the host as
      // one that has not had it does.
      if (model_->Launched() && !options_.answerAfterPusk) return SessionEnd::Launched;
      // A host that opened the line and left without a word was looking
      // for ports it can open (the updater lists only those): a device
      // stays for the host that comes to talk.
      if (!options_.stay && heardFromHost_) return SessionEnd::HungUp;
      hostOpen_ = false;
      heardFromHost_ = false;
      outbox_.clear();  // meant for the host that left
      if (adapter_) adapter_->Clear();
    }
    if (launchedAt_ && !booted_ && now >= *launchedAt_ + options_.grace) {
      if (!options_.answerAfterPusk) return SessionEnd::Launched;
      model_->Boot();
      booted_ = true;
    }
    if (options_.timeout.count() > 0 && now >= lastByte_ + options_.timeout) {
      // Silence in the grace (a time-out shorter than it) ends the device as the grace would.
      return launchedAt_ && !booted_ && !options_.answerAfterPusk ? SessionEnd::Launched : SessionEnd::Timeout;
    }

    const std::optional<LineTime> wake = WakeTime(now);
    timespec wait{};
    if (wake) {
      auto left = std::max(*wake - now, LineTime{0});
      // A sleep may end milliseconds late (a virtual machine's idle CPU
      // wakes slowly), and on a paced line the bytes of one answer must
      // follow each other as closely as a UART sends them, as must an
      // adapter's packets its ticks (a late one would look like a gap):
      // the last stretch before a byte or a packet is due is spun.
      // Spinning hands the processor over on every pass: several
      // simulators spinning at once on few processors would otherwise hold
      // one another off for a whole time slice, opening the very gaps the
      // spin is there to avoid.
      if ((pacing_.ByteTime().count() > 0 || adapter_) && left < kSpinWindow) {
        left = LineTime{0};
        sched_yield();
      }
      wait.tv_sec = static_cast<time_t>(left.count() / 1'000'000'000);
      wait.tv_nsec = static_cast<long>(left.count() % 1'000'000'000);
    }
    pollfd line{port_.fd.Get(), static_cast<short>(POLLIN | (writeBlocked_ ? POLLOUT : 0)), 0};
    const int ready = ppoll(hostOpen_ ? &line : nullptr, hostOpen_ ? 1 : 0, wake ? &wait : nullptr, &waitMask_);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return SystemError("ppoll", error);
    }
    if (!hostOpen_) {
      if (!CheckHost(error)) return SessionEnd::SystemError;
    } else if ((line.revents & POLLNVAL) != 0) {
      errno = EBADF;
      return SystemError("ppoll", error);
    } else if ((line.revents & POLLIN) != 0) {
      if (!Receive(error)) return SessionEnd::SystemError;
    } else if ((line.revents & (POLLHUP | POLLERR)) != 0) {
      hungUp_ = true;
    }
  }
}

std::optional<LineTime> Session::WakeTime(LineTime now) const {
  std::optional<LineTime> wake;
  const auto consider = [&wake](LineTime t) { wake = wake ? std::min(*wake, t) : t; };
  if (launchedAt_ && !booted_) consider(*launchedAt_ + options_.grace);
  if (options_.timeout.count() > 0) consider(lastByte_ + options_.timeout);
  if (!hostOpen_) consider(now + kHostCheck);
  if (hostOpen_ && !writeBlocked_ && !outbox_.empty()) consider(outbox_.front().due);
  if (hostOpen_ && adapter_ && !adapter_->Held().empty()) consider(adapter_->Held().front().release);
  return wake;
}

bool Session::CheckHost(std::string& error) {
  pollfd line{port_.fd.Get(), POLLIN, 0};
  if (poll(&line, 1, 0) < 0) return errno == EINTR || Fail("poll", error);
  // A host may open, write and close between two looks: its bytes still count.
  if ((line.revents & POLLIN) != 0 && !Receive(error)) return false;
  if ((line.revents & POLLHUP) == 0) {
    hostOpen_ = true;
  } else if ((line.revents & POLLIN) != 0) {
    hungUp_ = true;
  }
  return true;
}

bool Session::Receive(std::string& error) {
  char buffer[4096];
  const ssize_t count = ::read(port_.fd.Get(), buffer, sizeof buffer);
  if (count < 0) {
    if (errno == EAGAIN || errno == EINTR) return true;
    // A pty master reads EIO once the last slave descriptor is closed.
    if (errno != EIO) return Fail("read", error);
    hungUp_ = true;
    return true;
  }
  const LineTime arrival = Now();
  if (arrival < appearAt_) return true;  // no device on the line yet: dropped
  if (count > 0) {
    lastByte_ = arrival;
    heardFromHost_ = true;
  }
  for (ssize_t i = 0; i < count; ++i) {
    const LineTime had = pacing_.Received(arrival);
    const Reply reply = model_->Receive(static_cast<std::uint8_t>(buffer[i]));
    if (!reply.empty()) Schedule(reply, had + Turnaround());
  }
  if (!launchedAt_ && model_->Launched()) launchedAt_ = arrival;
  return true;
}

// The device's delay before it answers a request: fixed, or varying from
// request to request (as a flash write does).
LineTime Session::Turnaround() {
  LineTime turnaround = options_.turnaround;
  if (options_.turnaroundMax.count() > 0) {
    std::uniform_int_distribution<std::int64_t> extra(0, options_.turnaroundMax.count());
    turnaround += std::chrono::nanoseconds(extra(random_));
  }
  return turnaround;
}

void Session::Schedule(const Reply& reply, LineTime start) {
  LineTime cursor = start;
  for (const Piece& piece : reply) {
    cursor += piece.gap;
    if (pacing_.ByteTime().count() == 0) {
      if (piece.bytes.empty()) continue;
      cursor = pacing_.Sent(cursor);
      Queue(cursor, piece.bytes);
      continue;
    }
    for (char c : piece.bytes) {
      cursor = pacing_.Sent(cursor);
      Queue(cursor, std::string(1, c));
    }
  }
}

void Session::Queue(LineTime due, const std::string& bytes) {
  // Through the adapter, a byte enters its buffer when it has left the device.
  if (adapter_) {
    adapter_->Enter(due, bytes);
    return;
  }
  // Unpaced bytes that are due together go out in one write.
  if (!outbox_.empty() && outbox_.back().due == due) {
    outbox_.back().bytes += bytes;
  } else {
    outbox_.push_back(Outgoing{due, bytes});
  }
}

bool Session::SendDue(LineTime now, std::string& error) {
  writeBlocked_ = false;
  while (adapter_ && !adapter_->Held().empty() && adapter_->Held().front().release <= now) {
    AdapterModel::Packet packet = adapter_->Take();
    outbox_.push_back(Outgoing{packet.release, std::move(packet.bytes)});
  }
  while (!outbox_.empty() && outbox_.front().due <= now) {
    std::string& bytes = outbox_.front().bytes;
    const ssize_t written = ::write(port_.fd.Get(), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno != EAGAIN && errno != EINTR && errno != EIO) return Fail("write", error);
      writeBlocked_ = errno == EAGAIN;
      if (errno == EIO) hungUp_ = true;
      return true;
    }
    if (writeLog_.is_open()) LogWrite(outbox_.front().due, std::string_view(bytes).substr(0, static_cast<std::size_t>(written)));
    bytes.erase(0, static_cast<std::size_t>(written));
    if (bytes.empty()) outbox_.pop_front();
  }
  return true;
}

bool Session::OpenWriteLog(std::string& error) {
  if (options_.writeLogPath.empty()) return true;
  writeLog_.open(options_.writeLogPath, std::ios::trunc);
  if (!writeLog_) error = options_.writeLogPath + ": " + std::strerror(errno);
  return static_cast<bool>(writeLog_);
}

// "<blocks received> <due µs> <written µs> <bytes in hex>", on the steady
// clock: a write much later than due is the simulator's delay, an answer
// split with its pieces written close together is the host's.
void Session::LogWrite(LineTime due, std::string_view bytes) {
  using std::chrono::duration_cast;
  using std::chrono::microseconds;
  constexpr char kDigits[] = "0123456789ABCDEF";
  writeLog_ << (model_ != nullptr ? model_->Result().blocks : 0) << ' ' << duration_cast<microseconds>(due).count() << ' '
            << duration_cast<microseconds>(Now()).count() << ' ';
  for (const char c : bytes) {
    const auto byte = static_cast<std::uint8_t>(c);
    writeLog_ << kDigits[byte >> 4] << kDigits[byte & 0xF];
  }
  writeLog_ << '\n';
}

bool Session::Fail(const char* call, std::string& error) {
  error = std::string(call) + ": " + std::strerror(errno);
  return false;
}

SessionEnd Session::SystemError(const char* call, std::string& error) {
  Fail(call, error);
  return SessionEnd::SystemError;
}

}  // namespace

SessionEnd RunSession(LinePort& port, const Options& options, const std::function<void(const DeviceEnd&)>& ended,
                      std::string& error) {
  Session session(port, options);
  const bool ready = session.CatchStopSignals(error) && session.OpenWriteLog(error);
  LineTime appearAt = Now() + options.appearAfter;
  for (std::uint64_t device = 1;; ++device) {
    DeviceModel model(options.device);
    const SessionEnd end = ready ? session.Play(model, appearAt, error) : SessionEnd::SystemError;
    const LineTime endedAt = Now();
    session.FlushWriteLog();
    model.Finish();
    const bool last = end != SessionEnd::Launched || device == options.serve;  // serve 0: never
    ended(DeviceEnd{device, &model, end, last});
    if (last) return end;
    appearAt = endedAt + options.gap;
  }
}

const char* SessionEndText(SessionEnd end) {
  switch (end) {
    case SessionEnd::Launched: return "";
    case SessionEnd::HungUp: return "host hung up";
    case SessionEnd::Timeout: return "timeout";
    case SessionEnd::Terminated: return "terminated";
    case SessionEnd::SystemError: return "system error";
  }
  return "";
}

}  // namespace vn::sim

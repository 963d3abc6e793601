#include "app/console/watch_command.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/console/port_listing.h"
#include "app/console/ports.h"
#include "app/console/terminal.h"

namespace vn::console {
namespace {

using namespace std::chrono_literals;

// How long a port rests between two looks, and how often the port list is
// read for ports that appeared.
constexpr auto kLookAgain = 1s;
constexpr auto kListAgain = 1s;

struct WatchedPort {
  std::string argument;  // what resolves to the port each time
  bool fromList = false;  // found by --auto, dropped when it leaves the list
  std::unique_ptr<DeviceJob> job;
  bool updating = false;  // the job writes (else it only looks)
  bool handled = false;   // this connection's device was updated or failed
  Clock::time_point nextLook{};
};

class Watch {
 public:
  Watch(const WatchSettings& watch, const JobSettings& settings, JobReporter& reporter)
      : watch_(watch), settings_(settings), reporter_(reporter), terminal_(OutputIsTerminal() && reporter.Human() == stdout) {
    for (const std::string& port : watch.ports) ports_.push_back({port});
  }

  ExitCode Run() {
    reporter_.Say("watching " + WhatIsWatched() + "; Ctrl+C ends");
    std::uint64_t seen = 0;
    while (!Interrupted()) {
      const auto now = Clock::now();
      if (watch_.autoPorts && now >= nextList_) ReadList(now);
      for (WatchedPort& port : ports_) Step(port, now);
      std::erase_if(ports_, [](const WatchedPort& p) { return p.fromList && !p.job && p.argument.empty(); });
      ShowTally();
      signal_.WaitAfter(seen, 250ms);
    }
    return Stop();
  }

 private:
  std::string WhatIsWatched() const {
    std::string what;
    for (const WatchedPort& port : ports_) what += (what.empty() ? "" : ", ") + port.argument;
    if (watch_.autoPorts) what += std::string(what.empty() ? "" : " and ") + (watch_.allPorts ? "every port" : "USB serial ports");
    return what;
  }

  void ReadList(Clock::time_point now) {
    nextList_ = now + kListAgain;
    std::vector<std::string> listed;
    for (const std::string& name : ListComNames(/*openable=*/false)) {
      if (IsAutoCandidate(name, watch_.allPorts)) listed.push_back(name);
    }
    for (WatchedPort& port : ports_) {
      // A listed port that left the list is gone; its job (if any) sees it.
      if (port.fromList && std::find(listed.begin(), listed.end(), port.argument) == listed.end() && !port.job) {
        port.argument.clear();
      }
    }
    for (const std::string& name : listed) {
      const bool known = std::any_of(ports_.begin(), ports_.end(), [&](const WatchedPort& p) {
        std::string error;
        return p.argument == name || ComNameFor(p.argument, error) == name;
      });
      if (!known) ports_.push_back({name, /*fromList=*/true});
    }
  }

  void Step(WatchedPort& port, Clock::time_point now) {
    if (port.job) {
      port.job->Advance();
      if (port.job->done()) Ended(port, now);
      return;
    }
    if (port.argument.empty() || now < port.nextLook) return;
    std::string error;
    const std::optional<std::string> comName = ComNameFor(port.argument, error);
    if (!comName) {
      // Not there (yet): whatever comes next is a new connection.
      port.handled = false;
      port.nextLook = now + kLookAgain;
      return;
    }
    JobSettings settings = settings_;
    port.updating = !port.handled;
    settings.write = port.updating;
    if (!port.updating) settings.command = "probe";
    port.job = std::make_unique<DeviceJob>(*comName, PortLabel(*comName), settings, signal_);
    if (watch_.trace) port.job->Trace = reporter_.TraceFor(PortLabel(*comName), true);
    port.job->Start();
  }

  void Ended(WatchedPort& port, Clock::time_point now) {
    const DeviceJob& job = *port.job;
    const std::string who = job.label() + ": ";
    if (port.updating) {
      if (job.answered()) {
        port.handled = true;
        if (job.code() == ExitCode::Success) {
          ++flashed_;
          char seconds[32];
          std::snprintf(seconds, sizeof seconds, "%.2f", job.writeSeconds());
          Say(who + job.summary().device + " " + job.summary().version + " updated, " + seconds + " s");
        } else {
          ++failed_;
        }
        ClearTally();
        reporter_.Ended(job);
        if (watch_.bell && terminal_) std::fputs("\a", stdout);
      }
    } else if (!job.answered()) {
      port.handled = false;
      Say(who + "the device is gone");
    }
    port.job.reset();
    port.nextLook = now + kLookAgain;
  }

  ExitCode Stop() {
    std::vector<std::string> cut;
    for (WatchedPort& port : ports_) {
      if (!port.job) continue;
      port.job->Interrupt();
      if (port.job->interruptedMidTransfer()) {
        cut.push_back(port.job->label());
        ClearTally();
        reporter_.Ended(*port.job);
      }
      port.job.reset();
    }
    ClearTally();
    std::string tally = Tally();
    if (!cut.empty()) {
      std::string list;
      for (const std::string& label : cut) list += (list.empty() ? "" : ", ") + label;
      tally += "; interrupted during the transfer, update again: " + list;
    }
    reporter_.Say(tally);
    return ExitCode::Interrupted;
  }

  std::string Tally() const {
    int running = 0;
    for (const WatchedPort& port : ports_) running += port.job && port.updating && port.job->answered() ? 1 : 0;
    return "flashed " + std::to_string(flashed_) + ", failed " + std::to_string(failed_) + ", in progress " +
           std::to_string(running);
  }

  void ShowTally() {
    if (!terminal_) return;
    const std::string tally = Tally();
    std::printf("\r\x1b[2K%s", tally.c_str());
    std::fflush(stdout);
    tallyShown_ = true;
  }

  void ClearTally() {
    if (!tallyShown_) return;
    std::printf("\r\x1b[2K");
    std::fflush(stdout);
    tallyShown_ = false;
  }

  void Say(const std::string& line) {
    ClearTally();
    reporter_.Say(line);
  }

  const WatchSettings& watch_;
  const JobSettings& settings_;
  JobReporter& reporter_;
  const bool terminal_;
  ChangeSignal signal_;
  std::vector<WatchedPort> ports_;
  Clock::time_point nextList_{};
  int flashed_ = 0;
  int failed_ = 0;
  bool tallyShown_ = false;
};

}  // namespace

ExitCode RunWatch(const WatchSettings& watch, const JobSettings& settings, JobReporter& reporter) {
  Watch run(watch, settings, reporter);
  return run.Run();
}

}  // namespace vn::console

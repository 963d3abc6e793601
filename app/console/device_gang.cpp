#include "app/console/device_gang.h"

#include <cstdio>
#include <memory>

#include "app/console/terminal.h"

namespace vn::console {
namespace {

using namespace std::chrono_literals;

constexpr int kBlocks = 508;

std::string StateText(const DeviceJob& job) {
  switch (job.phase()) {
    case DeviceJob::Phase::Idle:
    case DeviceJob::Phase::Opening: return "opening";
    case DeviceJob::Phase::Probing: return "probing";
    case DeviceJob::Phase::Writing: return "writing";
    case DeviceJob::Phase::Done: break;
  }
  return job.summary().result;
}

// What the person sees while the devices work: one device as before (its
// messages, a bar or a line at every tenth), several as a block of lines
// redrawn in place on a terminal or a line per device at every tenth.
class GangView {
 public:
  GangView(JobReporter& reporter, std::size_t devices, bool write)
      : reporter_(reporter),
        several_(devices > 1),
        terminal_(OutputIsTerminal() && reporter.Human() == stdout),
        redraw_(several_ && terminal_ && TerminalMovesCursor()),
        write_(write),
        tenths_(devices, 0),
        lastLines_(devices, Clock::now()),
        announced_(devices, false) {}

  // The person's words of a device's changes since the last look.
  void Look(const std::vector<std::unique_ptr<DeviceJob>>& jobs) {
    for (std::size_t i = 0; i < jobs.size(); ++i) {
      const DeviceJob& job = *jobs[i];
      if (redraw_) continue;
      const std::string who = several_ ? job.label() + ": " : std::string();
      // Said once, whatever phase the first look finds the device in.
      if (job.answered() && !announced_[i]) {
        announced_[i] = true;
        Say((several_ ? who : "device on " + job.label() + ": ") + job.summary().device + ", firmware " +
            job.summary().version);
        if (job.phase() == DeviceJob::Phase::Writing) {
          Say(who + "writing " + std::to_string(kBlocks) + " blocks of 256 bytes (" + job.summary().image + " image)");
        }
      }
      if (job.phase() == DeviceJob::Phase::Writing) Progress(i, job, who);
    }
    if (redraw_) Redraw(jobs);
  }

  // A device has ended: its last words.
  void Ended(const DeviceJob& job) {
    if (job.code() == ExitCode::Success && job.summary().command == "flash") {
      char seconds[32];
      std::snprintf(seconds, sizeof seconds, "%.2f", job.writeSeconds());
      const std::string line = (several_ ? job.label() + ": " : std::string()) + "firmware written: " +
                               std::to_string(job.blocks()) + " blocks, CRC " + job.summary().crc + ", " + seconds +
                               " s; the device starts it now";
      if (redraw_) {
        held_.push_back(line);
      } else {
        Say(line);
      }
    }
  }

  void Finish(const std::vector<std::unique_ptr<DeviceJob>>& jobs) {
    if (redraw_) Redraw(jobs);
    if (bar_) std::printf("\n");
    for (const std::string& line : held_) Say(line);
  }

  bool Redrawing() const { return redraw_; }

 private:
  void Progress(std::size_t i, const DeviceJob& job, const std::string& who) {
    const vn::console::Progress progress{job.blocks(), kBlocks, job.writeSeconds()};
    if (terminal_ && !several_) {
      if (Clock::now() - lastDraw_ < 100ms && job.phase() != DeviceJob::Phase::Done) return;
      lastDraw_ = Clock::now();
      std::printf("\r%s", ProgressBar(progress).c_str());
      std::fflush(stdout);
      bar_ = true;
      return;
    }
    // Logs get a line at every tenth of the image, and every two seconds
    // on a slow line.
    const int tenth = job.blocks() * 10 / kBlocks;
    if (tenth <= tenths_[i] && Clock::now() - lastLines_[i] < 2s) return;
    tenths_[i] = tenth;
    lastLines_[i] = Clock::now();
    Say(who + ProgressLine(progress));
  }

  void Redraw(const std::vector<std::unique_ptr<DeviceJob>>& jobs) {
    if (Clock::now() - lastDraw_ < 100ms && drawn_ > 0) return;
    lastDraw_ = Clock::now();
    std::string out;
    if (drawn_ > 0) out += "\x1b[" + std::to_string(drawn_) + "A";
    for (const auto& job : jobs) {
      const vn::console::Progress progress{job->blocks(), kBlocks, job->writeSeconds()};
      out += "\x1b[2K" + DeviceLine(job->summary(), progress, StateText(*job)) + "\n";
    }
    drawn_ = static_cast<int>(jobs.size());
    std::fputs(out.c_str(), stdout);
    std::fflush(stdout);
  }

  void Say(const std::string& line) {
    if (bar_) {
      std::printf("\n");
      bar_ = false;
    }
    reporter_.Say(line);
  }

  JobReporter& reporter_;
  const bool several_;
  const bool terminal_;
  const bool redraw_;
  const bool write_;
  std::vector<int> tenths_;
  std::vector<Clock::time_point> lastLines_;
  std::vector<bool> announced_;
  std::vector<std::string> held_;
  Clock::time_point lastDraw_{};
  int drawn_ = 0;
  bool bar_ = false;
};

}  // namespace

ExitCode RunGang(const std::vector<PortTarget>& ports, const JobSettings& settings, JobReporter& reporter, bool trace,
                 bool onlyAnswering) {
  ChangeSignal signal;
  std::vector<std::unique_ptr<DeviceJob>> jobs;
  for (const PortTarget& port : ports) {
    jobs.push_back(std::make_unique<DeviceJob>(port.comName, port.label, settings, signal));
    if (trace) jobs.back()->Trace = reporter.TraceFor(port.label, ports.size() > 1);
  }
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    if (ports[i].missing.empty()) {
      jobs[i]->Start();
    } else {
      jobs[i]->Fail(ExitCode::PortNotOpened, "port not opened", ports[i].missing);
    }
  }

  GangView view(reporter, jobs.size(), settings.write);
  std::vector<bool> reported(jobs.size(), false);
  std::vector<std::string> absent;
  std::uint64_t seen = 0;
  for (;;) {
    const bool stop = Interrupted();
    std::size_t running = 0;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
      DeviceJob& job = *jobs[i];
      job.Advance();
      if (stop) job.Interrupt();
      if (!job.done()) {
        ++running;
        continue;
      }
      if (reported[i]) continue;
      reported[i] = true;
      if (onlyAnswering && !job.answered() && job.code() != ExitCode::Interrupted) {
        absent.push_back(job.label());
        continue;
      }
      view.Look(jobs);
      view.Ended(job);
      if (!view.Redrawing()) reporter.Ended(job);
    }
    view.Look(jobs);
    if (running == 0) break;
    signal.WaitAfter(seen, 50ms);
  }
  view.Finish(jobs);

  ExitCode code = ExitCode::Success;
  bool anyAnswered = false;
  std::vector<Summary> table;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    const DeviceJob& job = *jobs[i];
    if (onlyAnswering && !job.answered() && job.code() != ExitCode::Interrupted) continue;
    anyAnswered = true;
    // Messages held back while the lines were redrawn.
    if (view.Redrawing()) reporter.Ended(job);
    table.push_back(job.summary());
    if (code == ExitCode::Success && job.code() != ExitCode::Success) code = job.code();
  }
  if (onlyAnswering && !absent.empty()) {
    std::string list;
    for (const std::string& label : absent) list += (list.empty() ? "" : ", ") + label;
    reporter.Say("no Brantelmoor on " + list);
  }
  if (table.size() > 1) reporter.Say("\n" + SummaryTable(table));
  if (onlyAnswering && !anyAnswered) {
    reporter.Complain("no Brantelmoor answered on " + std::to_string(ports.size()) + " port" +
                      (ports.size() == 1 ? "" : "s"));
    return ExitCode::NoDevice;
  }
  if (Interrupted() && code == ExitCode::Success) code = ExitCode::Interrupted;
  return code;
}

}  // namespace vn::console

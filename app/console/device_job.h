#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/console/change_signal.h"
#include "app/console/console_text.h"
#include "app/console/exit_codes.h"

namespace vn {
class TClassConsoleFlasher;
}

namespace vn::console {

using Clock = std::chrono::steady_clock;

struct JobSettings {
  bool write = false;  // update the device once it answered the probe
  std::chrono::milliseconds probeLimit{3000};
  const std::string* image = nullptr;  // the bytes to write; none: the carried image
  std::string imageName = "carried";
  std::string command = "probe";       // for the summary
};

// One device on one port: its own console scheme and serial port, probed
// and, when asked, updated; advanced by the command's thread, which every
// job's reports wake through the shared signal. One job's failure touches
// nothing of another's.
class DeviceJob {
 public:
  enum class Phase { Idle, Opening, Probing, Writing, Done };

  DeviceJob(std::string comName, std::string label, const JobSettings& settings, ChangeSignal& signal);
  ~DeviceJob();
  DeviceJob(const DeviceJob&) = delete;
  DeviceJob& operator=(const DeviceJob&) = delete;

  // Called for every exchange, on the port's own threads, when set before
  // Start.
  std::function<void(bool sent, std::string_view bytes)> Trace;

  // Opens the port and sends the probe.
  void Start();
  // Moves on from what the device reported; cheap when nothing changed.
  void Advance();
  // Ends the job now (Ctrl+C): the port is closed, nothing more is sent.
  void Interrupt();
  // Ends the job before it started (a port that does not exist).
  void Fail(ExitCode code, const char* result, std::string error) { Finish(code, result, std::move(error)); }

  Phase phase() const { return phase_; }
  bool done() const { return phase_ == Phase::Done; }
  ExitCode code() const { return code_; }
  // A Brantelmoor answered the probe.
  bool answered() const { return answered_; }
  // Interrupted while bytes of the image were on their way.
  bool interruptedMidTransfer() const { return interruptedMidTransfer_; }
  const Summary& summary() const { return summary_; }
  const std::string& comName() const { return comName_; }
  const std::string& label() const { return summary_.port; }
  int blocks() const { return summary_.blocks; }
  // Since the upload began (or how long it took).
  double writeSeconds() const;
  // "the device ended the transfer after N of 508 blocks", or empty.
  const std::string& warning() const { return warning_; }

 private:
  void StartUpload();
  void Finish(ExitCode code, const char* result, std::string error);
  void ClosePort();

  std::string comName_;
  JobSettings settings_;
  ChangeSignal& signal_;
  std::unique_ptr<TClassConsoleFlasher> scheme_;
  Phase phase_ = Phase::Idle;
  ExitCode code_ = ExitCode::Success;
  bool answered_ = false;
  bool interruptedMidTransfer_ = false;
  Summary summary_;
  std::string warning_;
  Clock::time_point started_ = Clock::now();
  Clock::time_point deadline_{};
  Clock::time_point writeStarted_{};
  Clock::time_point writeEnded_{};
};

}  // namespace vn::console

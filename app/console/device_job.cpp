#include "app/console/device_job.h"

#include "app/console/console_scheme.h"
#include "app/console/port_trouble.h"
#include "app/console/ports.h"
#include "app/console/terminal.h"
#include "core/conversions.h"
#include "core/scheme_lock.h"

namespace vn::console {
namespace {

using namespace std::chrono_literals;
using State = TVNConsoleSink::State;

constexpr int kBlocks = 508;
// The port opens at once or not at all; this only guards against a driver
// that never answers.
constexpr auto kOpenLimit = 10s;
// Longer than any upload can take on the device's line (about 35 s) with
// the watchdog's own three seconds per block to spare.
constexpr auto kUploadLimit = 10min;

}  // namespace

DeviceJob::DeviceJob(std::string comName, std::string label, const JobSettings& settings, ChangeSignal& signal)
    : comName_(std::move(comName)), settings_(settings), signal_(signal) {
  summary_.command = settings_.command;
  summary_.port = std::move(label);
  summary_.image = settings_.write ? settings_.imageName : std::string();
}

DeviceJob::~DeviceJob() { ClosePort(); }

void DeviceJob::Start() {
  {
    // Built under the lock: other devices' chains run meanwhile.
    SchemeChain chain;
    scheme_ = std::make_unique<TClassConsoleFlasher>(settings_.image);
  }
  scheme_->Sink->OnChange = [this] { signal_.Notify(); };
  if (Trace) scheme_->Sink->Trace = Trace;
  phase_ = Phase::Opening;
  started_ = Clock::now();
  deadline_ = started_ + kOpenLimit;
  SchemeChain chain;
  TData name = StringData(RcString(comName_));
  scheme_->PortSelectHub->doEvent(name, 0);
}

void DeviceJob::Advance() {
  if (phase_ == Phase::Idle || phase_ == Phase::Done) return;
  const State state = scheme_->Sink->Snapshot();
  const auto now = Clock::now();
  if (phase_ == Phase::Opening) {
    if (!state.openTried) {
      if (now > deadline_) Finish(ExitCode::PortNotOpened, "port not opened", summary_.port + " did not open");
      return;
    }
    if (!state.opened) {
      const std::string why = WhyPortNotOpened(comName_);
      Finish(ExitCode::PortNotOpened, "port not opened",
             why.empty() ? "cannot open " + summary_.port + " (missing, in use, or it refused 38462 baud 8N1)" : why);
      return;
    }
    phase_ = Phase::Probing;
    deadline_ = now + settings_.probeLimit;
  }
  if (phase_ == Phase::Probing) {
    if (state.found) {
      answered_ = true;
      summary_.device = ForTerminal(state.device);
      summary_.version = ForTerminal(state.version);
      if (!settings_.write) return Finish(ExitCode::Success, "success", {});
      StartUpload();
      return;
    }
    if (state.notFound) {
      return Finish(ExitCode::NoDevice, "no device",
                    "the device on " + summary_.port + " did not answer as a Brantelmoor (reply " +
                        HexBytes(state.lastRead) + ")");
    }
    if (now > deadline_) {
      return Finish(ExitCode::NoDevice, "no device",
                    "no device answered \"VERS\" on " + summary_.port + " within " +
                        std::to_string(settings_.probeLimit.count()) + " ms");
    }
    return;
  }
  // Writing.
  summary_.blocks = state.blocks;
  summary_.bytes = static_cast<std::size_t>(state.blocks) * 256;
  if (state.succeeded) {
    writeEnded_ = now;
    if (state.blocks < kBlocks) {
      warning_ = "the device ended the transfer after " + std::to_string(state.blocks) + " of " +
                 std::to_string(kBlocks) + " blocks";
    }
    // "PUSK" is on its way: the close waits for the line to take it.
    return Finish(ExitCode::Success, "success", {});
  }
  if (!state.failed && now <= deadline_) return;
  writeEnded_ = now;
  if (PortVanished(comName_)) {
    return Finish(ExitCode::TransferFailed, "port vanished",
                  summary_.port + " vanished during the transfer (unplugged?) after " + std::to_string(state.blocks) +
                      " blocks: the device holds a partial image; connect it again and update it again");
  }
  const std::string detail = state.lastReply.empty() ? std::string("no answer") : "last answer " + HexBytes(state.lastReply);
  Finish(ExitCode::TransferFailed, "transfer failed",
         "the device on " + summary_.port + " did not confirm block " + std::to_string(state.blocks + 1) + " (" +
             detail + "); check the connection and run the update again");
}

void DeviceJob::StartUpload() {
  phase_ = Phase::Writing;
  writeStarted_ = Clock::now();
  deadline_ = writeStarted_ + kUploadLimit;
  SchemeChain chain;
  TData none;
  scheme_->StartHub->doEvent(none, 0);
}

void DeviceJob::Interrupt() {
  if (phase_ == Phase::Done) return;
  interruptedMidTransfer_ = phase_ == Phase::Writing;
  if (interruptedMidTransfer_) writeEnded_ = Clock::now();
  Finish(ExitCode::Interrupted, "interrupted",
         interruptedMidTransfer_
             ? "interrupted during the transfer on " + summary_.port +
                   ": the port is closed; the device holds a partial image, run the update again"
             : "interrupted: " + summary_.port + " is closed");
}

double DeviceJob::writeSeconds() const {
  if (writeStarted_ == Clock::time_point{}) return 0;
  const auto end = writeEnded_ == Clock::time_point{} ? Clock::now() : writeEnded_;
  return std::chrono::duration<double>(end - writeStarted_).count();
}

void DeviceJob::Finish(ExitCode code, const char* result, std::string error) {
  code_ = code;
  summary_.result = result;
  summary_.error = std::move(error);
  summary_.exitCode = ToInt(code);
  if (scheme_ && phase_ == Phase::Writing) {
    SchemeChain chain;
    summary_.crc = std::string(ToString(scheme_->CrcStore->Stored()).view());
  }
  phase_ = Phase::Done;
  summary_.seconds = std::chrono::duration<double>(Clock::now() - started_).count();
  ClosePort();
}

void DeviceJob::ClosePort() {
  if (!scheme_) return;
  {
    SchemeChain chain;
    TData none;
    scheme_->CloseHub->doEvent(none, 0);
  }
  scheme_.reset();
}

}  // namespace vn::console

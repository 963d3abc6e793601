#include "app/console/flasher.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "app/console/console_scheme.h"
#include "app/console/console_text.h"
#include "app/console/firmware_image.h"
#include "app/console/ports.h"
#include "app/console/terminal.h"
#include "app/upload_scheme.h"
#include "components/data/mem_stream.h"
#include "components/data/stream_resource.h"
#include "core/conversions.h"
#include "core/cp1251_literals.h"
#include "core/debug_message.h"
#include "core/dispatch.h"
#include "core/scheme_lock.h"
#include "core/startup.h"

namespace vn::console {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using State = TVNConsoleSink::State;

constexpr int kBlocks = 508;
constexpr std::string_view kDevicePrefix = "Устройство: ";
constexpr std::string_view kVersionSeparator = "   Текущая версия ПО: ";
// Longer than any upload can take on the device's line (about 35 s) with
// the watchdog's own three seconds per block to spare.
constexpr auto kUploadLimit = 10min;
constexpr auto kLook = 50ms;  // how often waits look at Ctrl+C

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The firmware to send: the file's, or the one the program carries.
struct Firmware {
  std::string bytes;
  std::string name;
  std::string error;
};

Firmware LoadFirmware(const Options& options) {
  if (!options.image) {
    std::unique_ptr<TMemStream> carried = LoadStreamResource("STREAM0");
    if (!carried) return {{}, "carried", "the program carries no firmware image"};
    const auto bytes = carried->Memory();
    return {std::string(bytes.begin(), bytes.end()), "carried", {}};
  }
  FirmwareImage image = LoadFirmwareImage(*options.image);
  if (!image.ok) return {{}, *options.image, image.error};
  return {std::move(image.bytes), *options.image, {}};
}

class Run {
 public:
  Run(const Options& options, const std::string& self) : options_(options), self_(self) {
    summary_.command = options.command;
  }

  ExitCode Go() {
    // With --json, standard output carries the summary alone.
    human_ = options_.json ? stderr : stdout;
    SetDebugMessageHook([this](std::string_view text) { Say(std::string("diagnostic: ") + std::string(text)); });
    ExitCode code = options_.command == "list" ? List() : ProbeOrFlash();
    if (device_) {
      const std::string received = device_->Finish();
      if (!received.empty()) std::fprintf(stderr, "simulated device received: %s\n", received.c_str());
    }
    SetDebugMessageHook(nullptr);
    if (options_.json && options_.command != "list") {
      summary_.exitCode = ToInt(code);
      summary_.seconds = SecondsSince(start_);
      std::printf("%s\n", JsonSummary(summary_).c_str());
      std::fflush(stdout);
    }
    return code;
  }

 private:
  ExitCode List() {
    TVNComAsync port;
    port.EnumCheck = true;
    Lister lister;
    port.onEnum = MakePoint<&Lister::doAdd>(0, &lister);
    {
      SchemeChain chain;
      StartDispatch();
      TData none;
      port.doEnum(none, 0);
    }
    for (const std::string& name : lister.names) std::printf("%s\n", PortLabel(name).c_str());
    if (lister.names.empty()) std::fprintf(stderr, "no serial port can be opened\n");
    std::fflush(stdout);
    return ExitCode::Success;
  }

  ExitCode ProbeOrFlash() {
    Firmware firmware;
    if (options_.command == "flash") {
      firmware = LoadFirmware(options_);
      summary_.image = firmware.name;
      if (!firmware.error.empty()) return Fail(ExitCode::BadImage, "bad image", firmware.error);
    }
    std::string comName;
    if (options_.simulate) {
      std::string error;
      device_ = StartSimulatedDevice(self_, options_.simulatorOptions, error);
      if (!device_) return Fail(ExitCode::Failure, "no simulator", error);
      comName = device_->ComName();
      Say("simulated device on " + device_->Path() + " as " + comName);
    } else {
      std::string error;
      const std::optional<std::string> name = ComNameFor(options_.port, error);
      if (!name) return Fail(ExitCode::PortNotOpened, "port not opened", error);
      comName = *name;
    }
    summary_.port = PortLabel(comName);

    SetStarted(false);
    scheme_ = std::make_unique<TClassConsoleFlasher>();
    if (options_.image) UseImage(firmware.bytes);
    if (options_.trace) scheme_->Sink->Trace = [this](bool sent, std::string_view bytes) { Trace(sent, bytes); };
    {
      SchemeChain chain;
      StartDispatch();
      RunStartup();
      TData name = StringData(RcString(comName));
      scheme_->PortSelectHub->doEvent(name, 0);
    }
    ExitCode code = Probe();
    if (code == ExitCode::Success && options_.command == "flash") code = Flash();
    Close();
    return code;
  }

  ExitCode Probe() {
    const TVNConsoleSink& sink = *scheme_->Sink;
    const State opened = Wait([](const State& s) { return s.openTried; }, 10s);
    if (Interrupted()) return Interrupt();
    if (!opened.opened) {
      return Fail(ExitCode::PortNotOpened, "port not opened",
                  "cannot open " + summary_.port + " (missing, in use, or it refused 38462 baud 8N1)");
    }
    const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::duration<double>(options_.probeSeconds));
    // The probe tells its verdict after the status text, which it shows in
    // both cases.
    const State probed = Wait([](const State& s) { return s.found || s.notFound; }, limit);
    if (Interrupted()) return Interrupt();
    if (!probed.found) {
      const std::string why = !probed.notFound
                                  ? "no device answered \"VERS\" on " + summary_.port + " within " +
                                        std::to_string(limit.count()) + " ms"
                                  : "the device on " + summary_.port + " did not answer as a Brantelmoor (reply " +
                                        Hex(probed.lastRead) + ")";
      return Fail(ExitCode::NoDevice, "no device", why);
    }
    ReadDeviceInfo(sink.Snapshot().status);
    Say("device on " + summary_.port + ": " + summary_.device + ", firmware " + summary_.version);
    if (options_.command == "probe") summary_.result = "success";
    return ExitCode::Success;
  }

  ExitCode Flash() {
    Say("writing " + std::to_string(kBlocks) + " blocks of 256 bytes (" + summary_.image + " image)");
    const auto started = Clock::now();
    {
      SchemeChain chain;
      TData none;
      scheme_->StartHub->doEvent(none, 0);
    }
    const bool terminal = OutputIsTerminal() && !options_.json;
    auto lastLine = Clock::now();
    int lastTenth = 0;
    State state;
    for (;;) {
      state = Wait([](const State& s) { return s.succeeded || s.failed; }, terminal ? 100ms : kLook);
      summary_.blocks = state.blocks;
      summary_.bytes = static_cast<std::size_t>(state.blocks) * 256;
      const Progress progress{state.blocks, kBlocks, SecondsSince(started)};
      if (terminal) {
        std::printf("\r%s", ProgressBar(progress).c_str());
        std::fflush(stdout);
      } else if (const int tenth = state.blocks * 10 / kBlocks; tenth > lastTenth || Clock::now() - lastLine >= 2s) {
        // Logs get a line at every tenth of the image, and every two
        // seconds on a slow line.
        lastTenth = tenth;
        lastLine = Clock::now();
        if (!state.succeeded && !state.failed) Say(ProgressLine(progress));
      }
      if (state.succeeded || state.failed || Interrupted()) break;
      if (Clock::now() - started > kUploadLimit) break;
    }
    if (terminal) std::printf("\n");
    summary_.crc = RunningCrc();
    if (Interrupted() && !state.succeeded) return Interrupt();
    if (!state.succeeded) {
      const std::string detail = state.lastReply.empty() ? std::string("no answer") : "last answer " + Hex(state.lastReply);
      return Fail(ExitCode::TransferFailed, "transfer failed",
                  "the device did not confirm block " + std::to_string(state.blocks + 1) + " (" + detail +
                      "); check the connection and run the update again");
    }
    // "PUSK" is on its way: the close waits for the line to take it.
    summary_.result = "success";
    if (state.blocks < kBlocks) {
      std::fprintf(stderr, "brantelmoor-flash: warning: the device ended the transfer after %d of %d blocks\n",
                   state.blocks, kBlocks);
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", SecondsSince(started));
    Say("firmware written: " + std::to_string(state.blocks) + " blocks, CRC " + summary_.crc + ", " + seconds +
        " s; the device starts it now");
    return ExitCode::Success;
  }

  // The running CRC the upload keeps between bytes.
  std::string RunningCrc() {
    SchemeChain chain;
    return std::string(ToString(scheme_->CrcStore->Stored()).view());
  }

  void UseImage(const std::string& bytes) {
    auto* upload = scheme_->Upload->Current == nullptr
                       ? nullptr
                       : dynamic_cast<TClassMultiElementEx_256A260*>(scheme_->Upload->Current->Scheme);
    if (upload == nullptr) return;
    auto stream = std::make_unique<TMemStream>();
    stream->Write(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    stream->Seek(0, TSeekOrigin::Begin);
    upload->Firmware->SetStream(std::move(stream));
  }

  void ReadDeviceInfo(const std::string& status) {
    std::string_view rest = status;
    if (rest.substr(0, kDevicePrefix.size()) == kDevicePrefix) rest.remove_prefix(kDevicePrefix.size());
    const std::size_t separator = rest.find(kVersionSeparator);
    summary_.device = ForTerminal(rest.substr(0, separator));
    summary_.version =
        separator == std::string_view::npos ? std::string() : ForTerminal(rest.substr(separator + kVersionSeparator.size()));
  }

  void Close() {
    if (!scheme_) return;
    {
      SchemeChain chain;
      TData none;
      scheme_->CloseHub->doEvent(none, 0);
    }
    scheme_.reset();
    StopDispatch();
  }

  State Wait(const std::function<bool(const State&)>& done, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    State state = scheme_->Sink->Snapshot();
    while (!done(state) && !Interrupted() && Clock::now() < deadline) {
      state = scheme_->Sink->WaitFor(done, std::min<std::chrono::milliseconds>(
                                               kLook, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                          deadline - Clock::now() + 1ms)));
    }
    return state;
  }

  ExitCode Interrupt() {
    return Fail(ExitCode::Interrupted, "interrupted",
                options_.command == "flash" && summary_.blocks > 0
                    ? "interrupted: the port is closed; the device holds a partial image, run the update again"
                    : "interrupted: the port is closed");
  }

  ExitCode Fail(ExitCode code, const char* result, const std::string& message) {
    summary_.result = result;
    summary_.error = message;
    std::fprintf(stderr, "brantelmoor-flash: %s\n", message.c_str());
    return code;
  }

  void Say(const std::string& line) {
    std::fprintf(human_, "%s\n", line.c_str());
    std::fflush(human_);
  }

  void Trace(bool sent, std::string_view bytes) {
    std::fprintf(stderr, "%s\n", TraceLine(SecondsSince(start_), sent, bytes).c_str());
  }

  static std::string Hex(std::string_view bytes) { return TraceLine(0, false, bytes).substr(15); }

  struct Lister {
    std::vector<std::string> names;
    void doAdd(TData& data, std::uint16_t /*index*/) { names.emplace_back(ToString(data).view()); }
  };

  const Options& options_;
  const std::string& self_;
  const Clock::time_point start_ = Clock::now();
  std::FILE* human_ = stdout;
  Summary summary_;
  std::unique_ptr<SimulatedDevice> device_;
  std::unique_ptr<TClassConsoleFlasher> scheme_;
};

}  // namespace

ExitCode RunCommand(const Options& options, const std::string& self) {
  Run run(options, self);
  return run.Go();
}

}  // namespace vn::console

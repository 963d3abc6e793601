#include "app/console/flasher.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "app/console/device_gang.h"
#include "app/console/firmware_image.h"
#include "app/console/history_log.h"
#include "app/console/job_reporter.h"
#include "app/console/port_details.h"
#include "app/console/port_listing.h"
#include "app/console/ports.h"
#include "app/console/terminal.h"
#include "app/console/watch_command.h"
#include "components/data/crc16_32.h"
#include "components/data/mem_stream.h"
#include "components/data/stream_resource.h"
#include "core/debug_message.h"
#include "core/dispatch.h"
#include "core/scheme_lock.h"
#include "core/startup.h"

namespace vn::console {
namespace {

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

std::string ImageCrc(const std::string& bytes) {
  const std::uint32_t crc = ComputeCrc(0, 0xA001, 0xFFFF, bytes, CrcInput::RawBytes);
  return CrcToHex(0, crc, /*swapBytes=*/false);
}

// Dispatch runs for the whole command; every device's scheme lives inside.
class DispatchRunning {
 public:
  DispatchRunning() {
    SchemeChain chain;
    StartDispatch();
    RunStartup();
  }
  ~DispatchRunning() { StopDispatch(); }
  DispatchRunning(const DispatchRunning&) = delete;
  DispatchRunning& operator=(const DispatchRunning&) = delete;
};

class Command {
 public:
  Command(const Options& options, const std::string& self) : options_(options), self_(self) {}

  ExitCode Go() {
    SetDebugMessageHook([](std::string_view text) { std::fprintf(stderr, "diagnostic: %.*s\n", static_cast<int>(text.size()), text.data()); });
    const ExitCode code = options_.command == "list" ? List() : Devices();
    for (const auto& device : simulated_) {
      const std::string received = device->Finish();
      if (received.empty()) continue;
      const std::string which = simulated_.size() > 1 ? " " + device->ComName() : std::string();
      std::fprintf(stderr, "simulated device%s received: %s\n", which.c_str(), received.c_str());
    }
    SetDebugMessageHook(nullptr);
    return code;
  }

 private:
  ExitCode List() {
    std::vector<std::string> names;
    {
      DispatchRunning dispatch;
      names = ListComNames(/*openable=*/true);
    }
    for (const std::string& name : names) {
      const std::string details = DetailsOfPort(name).description;
      std::printf("%s%s\n", PortLabel(name).c_str(), details.empty() ? "" : ("  " + details).c_str());
    }
    if (names.empty()) std::fprintf(stderr, "no serial port can be opened\n");
    std::fflush(stdout);
    return ExitCode::Success;
  }

  ExitCode Devices() {
    const bool writes = options_.command != "probe";
    Firmware firmware;
    if (writes) {
      firmware = LoadFirmware(options_);
      if (!firmware.error.empty()) return Refuse(ExitCode::BadImage, "bad image", firmware.error);
    }
    std::unique_ptr<HistoryLog> log;
    if (options_.log) {
      std::string error;
      log = HistoryLog::Open(*options_.log, error);
      if (!log) return Refuse(ExitCode::Failure, "log not opened", error);
    }
    JobReporter reporter(options_, log.get(), {firmware.name, firmware.bytes.size(), writes ? ImageCrc(firmware.bytes) : ""});

    std::vector<PortTarget> targets;
    for (int i = 0; i < options_.simulate; ++i) {
      std::string error;
      auto device = StartSimulatedDevice(self_, options_.simulatorOptions, i, error);
      if (!device) return Refuse(ExitCode::Failure, "no simulator", error);
      reporter.Say("simulated device on " + device->Path() + " as " + device->ComName());
      targets.push_back({device->ComName(), PortLabel(device->ComName())});
      simulated_.push_back(std::move(device));
    }

    JobSettings settings;
    settings.write = writes;
    settings.command = options_.command == "watch" ? "flash" : options_.command;
    settings.probeLimit = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::duration<double>(options_.probeSeconds));
    if (options_.image) settings.image = &firmware.bytes;
    settings.imageName = firmware.name;

    DispatchRunning dispatch;
    if (options_.command == "watch") {
      WatchSettings watch;
      watch.ports = options_.ports;
      for (const PortTarget& target : targets) watch.ports.push_back(target.comName);
      watch.autoPorts = options_.autoPorts;
      watch.allPorts = options_.allPorts;
      watch.bell = !options_.quiet;
      watch.trace = options_.trace;
      return RunWatch(watch, settings, reporter);
    }

    if (options_.autoPorts) {
      for (const std::string& name : ListComNames(/*openable=*/true)) {
        if (IsAutoCandidate(name, options_.allPorts)) targets.push_back({name, PortLabel(name)});
      }
      if (targets.empty()) {
        return Refuse(ExitCode::NoDevice, "no device",
                      options_.allPorts ? "no serial port can be opened"
                                        : "no USB serial adapter is connected (--all-ports tries every port)");
      }
    }
    for (const std::string& port : options_.ports) {
      std::string error;
      const std::optional<std::string> name = ComNameFor(port, error);
      if (!name) {
        // A port missing from the start fails alone; the others go on.
        targets.push_back({"", port, error});
        continue;
      }
      for (const PortTarget& target : targets) {
        if (target.comName == *name) {
          return Refuse(ExitCode::Usage, "usage", port + " is the same port as " + target.label);
        }
      }
      targets.push_back({*name, PortLabel(*name)});
    }
    return RunGang(targets, settings, reporter, options_.trace, options_.autoPorts);
  }

  ExitCode Refuse(ExitCode code, const char* result, const std::string& message) {
    std::fprintf(stderr, "brantelmoor-flash: %s\n", message.c_str());
    if (options_.json) {
      Summary summary;
      summary.command = options_.command;
      summary.result = result;
      summary.exitCode = ToInt(code);
      summary.image = options_.image.value_or(options_.command == "probe" ? "" : "carried");
      summary.error = message;
      std::printf("%s\n", JsonSummary(summary).c_str());
      std::fflush(stdout);
    }
    return code;
  }

  const Options& options_;
  const std::string& self_;
  std::vector<std::unique_ptr<SimulatedDevice>> simulated_;
};

}  // namespace

ExitCode RunCommand(const Options& options, const std::string& self) {
  Command command(options, self);
  return command.Go();
}

}  // namespace vn::console

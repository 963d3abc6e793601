// brantelmoor-sim: plays the Brantelmoor device on a pty or a serial line,
// so that the updater can be tested end to end. Options: tools/README.md.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/device_model.h"
#include "tools/sim/host_link.h"
#include "tools/sim/line_port.h"
#include "tools/sim/options.h"
#include "tools/sim/session.h"
#include "tools/sim/summary.h"

namespace {

using namespace vn::sim;

bool SaveImage(const std::string& path, const std::string& image) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(image.data(), static_cast<std::streamsize>(image.size()));
  file.close();
  return !file.fail();
}

int Run(Options& options) {
  std::string error;
  LinePort port;
  const bool opened = options.devicePath.empty() ? OpenPtyPort(port, error)
                                                 : OpenDevicePort(options.devicePath, options.lineBaud, port, error);
  if (!opened) {
    std::fprintf(stderr, "brantelmoor-sim: %s\n", error.c_str());
    return 1;
  }
  HostLink link;
  if (!options.linkPath.empty() && !link.Create(options.linkPath, port.slavePath, error)) {
    std::fprintf(stderr, "brantelmoor-sim: %s\n", error.c_str());
    return 1;
  }
  if (port.pty) {
    std::printf("PTY %s\n", port.slavePath.c_str());
    std::fflush(stdout);
  }

  options.device.keepImage = !options.savePath.empty();
  if (!options.seed) {
    options.seed = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  }
  if (options.adapterTick.count() > 0 || options.turnaroundMax.count() > 0) {
    // Not on stdout, which belongs to the PTY and summary lines.
    std::fprintf(stderr, "brantelmoor-sim: --seed %llu\n", static_cast<unsigned long long>(*options.seed));
  }
  int status = 0;
  const auto report = [&](const DeviceEnd& ended) {
    const DeviceModel& model = *ended.model;
    Summary summary = model.Result();
    if (options.serve != 1) summary.device = ended.device;
    if (ended.end == SessionEnd::SystemError) {
      std::fprintf(stderr, "brantelmoor-sim: %s\n", error.c_str());
      summary.error = "system error: " + error;
      status = 1;
    } else if (summary.error.empty() && !model.Launched()) {
      summary.error = SessionEndText(ended.end);
    }
    if (ended.last) link.Remove();
    // The file is complete before the summary line tells the reader it can look.
    if (!options.savePath.empty()) {
      const std::string path =
          options.serve == 1 ? options.savePath : options.savePath + "." + std::to_string(ended.device);
      if (!SaveImage(path, model.Image())) {
        std::fprintf(stderr, "brantelmoor-sim: cannot write %s\n", path.c_str());
        status = 1;
      }
    }
    std::printf("%s\n", SummaryJson(summary).c_str());
    std::fflush(stdout);
  };
  RunSession(port, options, report, error);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  Options options;
  std::string error;
  if (!ParseOptions(args, options, error)) {
    std::fprintf(stderr, "brantelmoor-sim: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  // A test that stops reading our stdout must not kill us before the summary.
  std::signal(SIGPIPE, SIG_IGN);
  return Run(options);
}

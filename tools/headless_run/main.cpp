// brantelmoor-headless-run: one firmware update with the real program on the
// headless screen against the device simulator, driven as a user would (pick
// the port, press "Записать", wait, press "OK"), telling what the screen
// shows along the way and timing the transfer.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/main_scheme.h"
#include "app/program.h"
#include "core/cp1251_literals.h"
#include "components/serial/serial_port_map_posix.h"
#include "toolkit/headless_screen.h"
#include "core/cp1251_to_utf8.h"
#include "app/console/simulator_process.h"

namespace vn::tools {
namespace {

namespace hl = toolkit::headless;
using namespace std::chrono_literals;
using sim::SimulatorProcess;
using sim::SummaryField;
using Clock = std::chrono::steady_clock;

constexpr const char* kPort = "COM1";
constexpr int kBlocks = 508;

struct Options {
  std::string simulator;
  std::vector<std::string> simulatorArguments;
  int successDelayMs = 15000;  // the program's own wait
  bool quiet = false;
};

void Usage() {
  std::fputs(
      "usage: brantelmoor-headless-run [--simulator PATH] [--short-wait] [--quiet] [-- SIMULATOR OPTIONS...]\n"
      "  --simulator PATH  the device simulator (default: brantelmoor-sim beside this program)\n"
      "  --short-wait      shorten the program's 15-second wait before the success display to 50 ms\n"
      "  --quiet           print only the result lines\n"
      "  after --, options for the simulator (--baud 38462, --wrong-crc 3, ...)\n",
      stderr);
}

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  const std::string self = argv[0];
  const std::size_t slash = self.rfind('/');
  options.simulator = (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) + "brantelmoor-sim";
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") {
      options.simulatorArguments.assign(argv + i + 1, argv + argc);
      break;
    }
    if (word == "--simulator" && i + 1 < argc) {
      options.simulator = argv[++i];
    } else if (word == "--short-wait") {
      options.successDelayMs = 50;
    } else if (word == "--quiet") {
      options.quiet = true;
    } else {
      return std::nullopt;
    }
  }
  return options;
}

// A label's text as one line: its lines trimmed and joined by a blank.
std::string OneLine(const std::string& text) {
  std::string line, word;
  for (const char c : text + "\n") {
    if (c == ' ' || c == '\r' || c == '\n' || c == '\t') {
      if (!word.empty()) line += (line.empty() ? "" : " ") + word;
      word.clear();
    } else {
      word += c;
    }
  }
  return line;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Polls `condition` until it holds or `limit` passes.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit, std::chrono::milliseconds step = 2ms) {
  const auto deadline = Clock::now() + limit;
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(step);
  }
  return true;
}

class Run {
 public:
  explicit Run(const Options& options) : options_(options) {}

  int Go() {
    std::vector<std::string> simulatorArguments{"--timeout", "120"};
    simulatorArguments.insert(simulatorArguments.end(), options_.simulatorArguments.begin(),
                              options_.simulatorArguments.end());
    SimulatorProcess device(options_.simulator, simulatorArguments);
    if (!device.Started()) {
      std::fprintf(stderr, "cannot start the device simulator %s\n", options_.simulator.c_str());
      return 2;
    }
    serial::SetPortMap(std::vector<serial::PortMapEntry>{{kPort, device.Pty(), device.AdapterTick()}});
    Say("device simulator on " + device.Pty() + ", known to the program as " + kPort);

    hl::SetTimeout(120s);
    std::thread program([this] {
      static const char* const argv[] = {"brantelmoor"};
      RunProgram<TClassSimpleForm_24FF170>(1, argv, [this](TClassSimpleForm_24FF170& scheme) {
        scheme.SuccessDelay->Delay = options_.successDelayMs * 1000;
      });
      ended_ = true;
    });
    const int result = Drive(device);
    if (!ended_) Close();
    WaitFor([this] { return ended_.load(); }, 60s);
    program.join();
    hl::TakeOverWindowThread();
    hl::Reset();
    return result;
  }

 private:
  int Drive(SimulatorProcess& device) {
    if (!hl::WaitForWindowThread(10s) || !WaitFor([] {
          const toolkit::Form* form = hl::MainForm();
          return form != nullptr && hl::View(*form).onScreen;
        }, 10s)) {
      return Fail("the window did not appear");
    }
    toolkit::RunOnWindowThread([this] { scheme_ = MainScheme; });
    Say("window: \"" + Cp1251ToUtf8(View(scheme_->StatusEdit).text) + "\"");

    const std::vector<std::string> ports = View(scheme_->PortCombo).items;
    std::string list;
    for (const std::string& port : ports) list += (list.empty() ? "" : ", ") + port;
    Say("ports the program can open: " + (list.empty() ? std::string("none") : list));
    std::int32_t index = -1;
    for (std::size_t i = 0; i < ports.size(); ++i) {
      if (ports[i] == kPort) index = static_cast<std::int32_t>(i);
    }
    if (index < 0) return Fail(std::string(kPort) + " is not in the port list");

    const auto probeStart = Clock::now();
    if (!hl::Pick(*scheme_->PortCombo->Control, index)) return Fail("cannot pick the port");
    if (!WaitFor([this] { return View(scheme_->WriteButton).enabled; }, 10s)) {
      return Fail("no device answered: \"" + Cp1251ToUtf8(View(scheme_->StatusEdit).text) + "\"");
    }
    const double probeSeconds = SecondsSince(probeStart);
    Say("picked " + std::string(kPort) + ": \"" + Cp1251ToUtf8(View(scheme_->StatusEdit).text) + "\"");

    const double cpuBefore = CpuSeconds();
    const auto start = Clock::now();
    if (!hl::Click(*scheme_->WriteButton->Control)) return Fail("cannot press the write button");
    Say("pressed \"" + Cp1251ToUtf8(scheme_->WriteButton->Caption.str()) + "\"");
    auto lastReport = Clock::now();
    std::int32_t position = -1;
    bool failed = false;
    while (position < kBlocks - 1) {
      std::this_thread::sleep_for(2ms);
      position = View(scheme_->UploadProgress).position;
      if (View(scheme_->ErrorLabel).onScreen) {
        failed = true;
        break;
      }
      if (Clock::now() - lastReport >= 1s) {
        lastReport = Clock::now();
        Say("block " + std::to_string(position + 1) + " of " + std::to_string(kBlocks));
      }
      if (SecondsSince(start) > 300) return Fail("the transfer did not end within 5 minutes");
    }
    const double transferSeconds = SecondsSince(start);
    const double cpuSeconds = CpuSeconds() - cpuBefore;
    if (!failed) {
      Say("all " + std::to_string(kBlocks) + " blocks sent in " + Fixed(transferSeconds, 2) +
          " s; the program waits " + Fixed(options_.successDelayMs / 1000.0, 2) + " s before it tells the result");
    }

    if (!WaitFor([this] {
          return View(scheme_->OkButton).onScreen &&
                 (View(scheme_->SuccessLabel).onScreen || View(scheme_->ErrorLabel).onScreen);
        }, 60s, 10ms)) {
      return Fail("no outcome shown");
    }
    const bool success = View(scheme_->SuccessLabel).onScreen && !View(scheme_->ErrorLabel).onScreen;
    const hl::WindowView shown = success ? View(scheme_->SuccessLabel) : View(scheme_->ErrorLabel);
    Say("window: \"" + Cp1251ToUtf8(OneLine(shown.text)) + "\"");
    if (!hl::Click(*scheme_->OkButton->Control)) return Fail("cannot press \"OK\"");
    Say("pressed \"OK\"");
    WaitFor([this] { return ended_.load(); }, 30s);

    device.Terminate();
    const std::string summary = device.Summary(10s);
    const bool complete = SummaryField(summary, "bytes") == "130048" && SummaryField(summary, "pusk") == "true";
    std::printf("device received: %s\n", summary.c_str());
    std::printf("probe %.3f s, transfer %.3f s, program CPU time during the transfer %.3f s\n", probeSeconds,
                transferSeconds, cpuSeconds);
    std::printf("result: %s\n", success && complete ? "firmware updated" : "update failed");
    std::fflush(stdout);
    return success && complete ? 0 : 1;
  }

  void Close() {
    TClassSimpleForm_24FF170* scheme = scheme_;
    hl::Post([scheme] {
      if (scheme == nullptr || MainScheme != scheme) return;
      TData none;
      scheme->Form->doClose(none, 0);
    });
  }

  template <class Component>
  static hl::WindowView View(const std::unique_ptr<Component>& component) {
    return hl::View(*component->Control);
  }

  static std::string Fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
  }

  void Say(const std::string& line) const {
    if (options_.quiet) return;
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  }

  static int Fail(const std::string& why) {
    std::printf("result: failed: %s\n", why.c_str());
    std::fflush(stdout);
    return 1;
  }

  const Options& options_;
  TClassSimpleForm_24FF170* scheme_ = nullptr;
  std::atomic<bool> ended_{false};
};

}  // namespace
}  // namespace vn::tools

int main(int argc, char** argv) {
  const std::optional<vn::tools::Options> options = vn::tools::ParseOptions(argc, argv);
  if (!options) {
    vn::tools::Usage();
    return 2;
  }
  vn::tools::Run run(*options);
  return run.Go();
}

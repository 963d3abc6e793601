#pragma once

// The whole program on the headless screen, driven as a user would, against
// simulated devices on pseudo-terminals.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/main_scheme.h"
#include "components/serial/serial_port_map_posix.h"
#include "app/console/simulator_process.h"
#include "toolkit/headless_screen.h"

namespace vn::test {

namespace hl = toolkit::headless;
using sim::SimulatorProcess;
using sim::SummaryField;
using namespace std::chrono_literals;

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A simulated device on its own pty, known to the program as `comName`.
  SimulatorProcess& AddDevice(const std::string& comName, std::vector<std::string> arguments);

  // Starts the program on a thread of its own (its window thread) and waits
  // until its window is on the screen. The success display's wait is
  // shortened to `successDelay` unless a test keeps the real 15 s.
  void StartProgram(std::chrono::microseconds successDelay = 50ms);

  TClassSimpleForm_24FF170& Scheme() { return *scheme_; }
  template <class Component>
  hl::WindowView ViewOf(const std::unique_ptr<Component>& component) const {
    return hl::View(*component->Control);
  }
  std::string Status() const { return ViewOf(scheme_->StatusEdit).text; }

  // The user picks a port in the list, presses "Записать", presses "OK".
  bool PickPort(const std::string& comName);
  bool PressWrite();
  bool PressOk();
  // The program asks its own form to close (as "OK" does), whatever the form
  // shows at that moment.
  void CloseFromTheProgram();

  // Polls `condition` (reading the screen through the window thread) until
  // it holds or `limit` passes.
  static bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 30s);
  bool WaitForOutcome(std::chrono::milliseconds limit = 60s);
  bool FailureShown() const { return ViewOf(scheme_->ErrorLabel).onScreen; }
  bool SuccessShown() const { return ViewOf(scheme_->SuccessLabel).onScreen; }
  // What of the success or failure display is not as it should be, empty
  // when it is all there: the outcome text and picture, the working controls
  // hidden, the version cleared, the form enabled, "OK" shown.
  std::string OutcomeDisplayFaults(bool success) const;

  // Waits for the program to end (the form closed) and takes the screen over
  // for reading.
  bool WaitForExit(std::chrono::milliseconds limit = 30s);

  std::map<std::string, std::unique_ptr<SimulatorProcess>> devices;

 private:
  void MapPort(serial::PortMapEntry entry);

  std::vector<serial::PortMapEntry> portMap_;
  std::thread program_;
  std::atomic<bool> programEnded_{false};
  TClassSimpleForm_24FF170* scheme_ = nullptr;
};

}  // namespace vn::test

#include "tests/e2e/program_fixture.h"

#include "app/program.h"
#include "components/serial/serial_port_map_posix.h"
#include "core/dispatch.h"
#include "toolkit/toolkit.h"

namespace vn::test {

void ProgramTest::SetUp() {
  hl::Reset();
  hl::SetTimeout(60s);
  serial::SetPortMap(std::vector<serial::PortMapEntry>{});
}

void ProgramTest::TearDown() {
  if (program_.joinable()) {
    if (!programEnded_) CloseFromTheProgram();
    WaitForExit(60s);
  }
  hl::Reset();
  serial::SetPortMap(std::nullopt);
  devices.clear();
}

SimulatorProcess& ProgramTest::AddDevice(const std::string& comName, std::vector<std::string> arguments) {
  arguments.insert(arguments.end(), {"--timeout", "120", "--grace-ms", "300"});
  auto device = std::make_unique<SimulatorProcess>(VN_SIMULATOR, arguments);
  EXPECT_TRUE(device->Started()) << "the simulator did not start";
  MapPort({comName, device->Pty(), device->AdapterTick()});
  SimulatorProcess& added = *device;
  devices[comName] = std::move(device);
  return added;
}

void ProgramTest::MapPort(serial::PortMapEntry entry) {
  // A name given again means the new device: a stale entry would point at a
  // pty that is gone, or that another test's device has since been given.
  std::erase_if(portMap_, [&entry](const auto& known) { return known.comName == entry.comName; });
  portMap_.push_back(std::move(entry));
  serial::SetPortMap(portMap_);
}

void ProgramTest::StartProgram(std::chrono::microseconds successDelay) {
  // A test may run the program more than once: the last run's end must not
  // count for this one, or a tear-down would join a program it never closed.
  programEnded_ = false;
  program_ = std::thread([this, successDelay] {
    static const char* const argv[] = {"brantelmoor"};
    RunProgram<TClassSimpleForm_24FF170>(1, argv, [successDelay](TClassSimpleForm_24FF170& scheme) {
      scheme.SuccessDelay->Delay = static_cast<std::int32_t>(successDelay.count());
    });
    programEnded_ = true;
  });
  ASSERT_TRUE(hl::WaitForWindowThread(10s));
  ASSERT_TRUE(WaitFor([] {
    const toolkit::Form* form = hl::MainForm();
    return form != nullptr && hl::View(*form).onScreen;
  }));
  toolkit::RunOnWindowThread([this] { scheme_ = MainScheme; });
  ASSERT_NE(scheme_, nullptr);
}

bool ProgramTest::PickPort(const std::string& comName) {
  const std::vector<std::string> items = ViewOf(scheme_->PortCombo).items;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == comName) return hl::Pick(*scheme_->PortCombo->Control, static_cast<std::int32_t>(i));
  }
  ADD_FAILURE() << comName << " is not in the port list";
  return false;
}

bool ProgramTest::PressWrite() { return hl::Click(*scheme_->WriteButton->Control); }
bool ProgramTest::PressOk() { return hl::Click(*scheme_->OkButton->Control); }

void ProgramTest::CloseFromTheProgram() {
  TClassSimpleForm_24FF170* scheme = scheme_;
  hl::Post([scheme] {
    if (scheme == nullptr || MainScheme != scheme) return;
    TData none;
    scheme->Form->doClose(none, 0);
  });
}

bool ProgramTest::WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

bool ProgramTest::WaitForOutcome(std::chrono::milliseconds limit) {
  // The outcome's controls appear one after another: done once "OK" and the
  // success or the failure text are all on the screen.
  return WaitFor([this] { return ViewOf(scheme_->OkButton).onScreen && (SuccessShown() || FailureShown()); }, limit);
}

std::string ProgramTest::OutcomeDisplayFaults(bool success) const {
  const std::pair<const char*, bool> checks[] = {
      {"success text", SuccessShown() == success},
      {"failure text", FailureShown() != success},
      {"check-links text", ViewOf(scheme_->CheckLinksLabel).onScreen != success},
      {"error picture", ViewOf(scheme_->ErrorImage).onScreen != success},
      {"port list hidden", !ViewOf(scheme_->PortCombo).onScreen},
      {"status hidden", !ViewOf(scheme_->StatusEdit).onScreen},
      {"progress hidden", !ViewOf(scheme_->UploadProgress).onScreen},
      {"Write hidden", !ViewOf(scheme_->WriteButton).onScreen},
      {"version cleared", ViewOf(scheme_->VersionLabel).text == "0"},
      {"form enabled", ViewOf(scheme_->Form).enabled},
      {"OK shown", ViewOf(scheme_->OkButton).onScreen},
  };
  std::string faults;
  for (const auto& [what, holds] : checks) {
    if (!holds) faults += (faults.empty() ? "" : ", ") + std::string(what);
  }
  return faults;
}

bool ProgramTest::WaitForExit(std::chrono::milliseconds limit) {
  const bool ended = WaitFor([this] { return programEnded_.load(); }, limit);
  if (!ended) return false;
  program_.join();
  hl::TakeOverWindowThread();
  scheme_ = nullptr;
  return true;
}

}  // namespace vn::test

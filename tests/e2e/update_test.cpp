#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "core/cp1251_literals.h"
#include "tests/e2e/program_fixture.h"
#include "tests/support/carried_image.h"

namespace vn::test {
namespace {

using UpdateTest = ProgramTest;

TEST_F(UpdateTest, FullUpdateFromPortChoiceToOk) {
  const std::string saved = ::testing::TempDir() + "/received_image.bin";
  SimulatorProcess& device = AddDevice("COM5", {"--save", saved, "--designation", "X1", "--version", "2.1"});
  StartProgram(/*successDelay=*/15s);  // the real wait, once

  EXPECT_EQ(Status(), "Выберите порт с подключённым устройством.");
  EXPECT_FALSE(ViewOf(Scheme().WriteButton).enabled);
  ASSERT_TRUE(PickPort("COM5"));
  ASSERT_TRUE(WaitFor([this] { return ViewOf(Scheme().WriteButton).enabled; }, 10s)) << Status();
  EXPECT_EQ(Status(), "Устройство: X1   Текущая версия ПО: 2.1");
  EXPECT_FALSE(ViewOf(Scheme().PortCombo).enabled);

  ASSERT_TRUE(PressWrite());
  EXPECT_FALSE(ViewOf(Scheme().Form).enabled);  // no input until the end
  // PUSK has gone out and the 15 s wait runs: the device has everything,
  // the form stays disabled and neither outcome is shown yet.
  ASSERT_TRUE(WaitFor([this] { return ViewOf(Scheme().UploadProgress).position == 507; }, 120s));
  const std::string summary = device.Summary(120s);
  EXPECT_EQ(SummaryField(summary, "bytes"), "130048") << summary;
  EXPECT_EQ(SummaryField(summary, "blocks"), "508");
  EXPECT_EQ(SummaryField(summary, "crc"), "\"BD97\"");
  EXPECT_EQ(SummaryField(summary, "pusk"), "true");
  EXPECT_EQ(SummaryField(summary, "extra"), "0");
  EXPECT_TRUE(HoldsCarriedImage(saved));
  EXPECT_FALSE(SuccessShown());
  EXPECT_FALSE(FailureShown());

  ASSERT_TRUE(WaitForOutcome(30s));
  // The display's controls change one by one; let the last of them land.
  WaitFor([this] { return OutcomeDisplayFaults(/*success=*/true).empty(); }, 2s);
  EXPECT_EQ(OutcomeDisplayFaults(/*success=*/true), "");

  ASSERT_TRUE(PressOk());
  ASSERT_TRUE(WaitForExit());
}

}  // namespace
}  // namespace vn::test

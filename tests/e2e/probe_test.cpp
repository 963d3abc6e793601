#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/cp1251_literals.h"
#include "tests/e2e/program_fixture.h"

namespace vn::test {
namespace {

constexpr const char* kNotFound = "На этом порту устройств не найдено.";

struct Reply {
  std::string name;
  std::vector<std::string> arguments;
  std::string status;  // what the status line ends up showing
  bool recognised;
};

class ProbeTest : public ProgramTest, public ::testing::WithParamInterface<Reply> {};

TEST_P(ProbeTest, JudgesTheReply) {
  const Reply& reply = GetParam();
  AddDevice("COM5", reply.arguments);
  StartProgram();
  ASSERT_TRUE(PickPort("COM5"));
  ASSERT_TRUE(WaitFor([&] { return Status() == reply.status; }, 10s)) << Status();
  std::this_thread::sleep_for(200ms);  // a second piece of the reply, if any, is judged too
  EXPECT_EQ(Status(), reply.status);
  EXPECT_EQ(ViewOf(Scheme().WriteButton).enabled, reply.recognised);
  EXPECT_EQ(ViewOf(Scheme().PortCombo).enabled, !reply.recognised);
}

// How each reply is judged is ProbeSchemeTest's table; here a recognised and
// a foreign reply go the whole way through the serial line, and so does a
// reply split over two reads.
INSTANTIATE_TEST_SUITE_P(
    Replies, ProbeTest,
    ::testing::Values(
        Reply{"LowerCaseName", {"--lowercase-name"}, "Устройство: X1   Текущая версия ПО: 2.1", true},
        Reply{"WrongName", {"--name", "BRANTELMOR"}, kNotFound, false},
        // The first read holds no blank; the second ("X1 2.1" with a blank)
        // is judged on its own and its first word is not the name.
        Reply{"InTwoReads", {"--reply-in-two", "--split-gap-ms", "100"}, kNotFound, false}),
    [](const ::testing::TestParamInfo<Reply>& param) { return param.param.name; });

TEST_F(ProgramTest, SecondChoiceWhileTheFirstProbeWaitsClosesTheFirstPort) {
  SimulatorProcess& silent = AddDevice("COM5", {"--no-vers-reply"});
  AddDevice("COM6", {});
  StartProgram();
  ASSERT_TRUE(PickPort("COM5"));
  std::this_thread::sleep_for(300ms);  // VERS went out, no answer
  EXPECT_EQ(Status(), "Выберите порт с подключённым устройством.");
  ASSERT_TRUE(PickPort("COM6"));
  ASSERT_TRUE(WaitFor([this] { return ViewOf(Scheme().WriteButton).enabled; }, 10s)) << Status();
  const std::string first = silent.Summary(10s);  // the first port was closed
  EXPECT_EQ(SummaryField(first, "vers"), "1") << first;
  EXPECT_EQ(SummaryField(first, "error"), "\"host hung up\"");
}

}  // namespace
}  // namespace vn::test

#include "app/probe_scheme.h"

#include <string>

#include "core/conversions.h"
#include "core/cp1251_literals.h"
#include "tests/support/test_points.h"

namespace vn::test {
namespace {

constexpr const char* kNotFound = "На этом порту устройств не найдено.";

// The probe inside a container sized as the main scheme sizes it, with a
// recorder on every outward event.
struct ProbeBench {
  Recorder sent, status, openPort, notFound, found;
  TVNMultiElementEx probe{nullptr};

  ProbeBench() {
    probe.onEvent = {sent.Link(), status.Link(), openPort.Link(), notFound.Link(), found.Link()};
    probe.InitInstances(&CreateProbeScheme);
  }
  void Work(std::uint16_t index, TData value) { probe.doWork(value, index); }
  std::int32_t Selector() {
    TData answer;
    probe.varValue(answer, 0);
    return IsInteger(answer) ? answer.IData : -1;
  }
};

std::string Text(const TData& data) { return ToString(data).str(); }

using ProbeSchemeTest = LiveDispatchTest;

// The program's probe tests carry a recognised, a foreign and a split reply
// end to end; how every reply is judged is this table.
TEST_F(ProbeSchemeTest, ReplyIsJudgedByItsFirstWord) {
  struct Case {
    std::string reply;
    const char* status;  // null: the not-found text
    std::string word;    // the name reported found, or the value reported not found
  };
  const Case cases[] = {
      {"BRANTELMOOR X1 2.1", "Устройство: X1   Текущая версия ПО: 2.1", "BRANTELMOOR"},
      {"brantelmoor X1 2.1", "Устройство: X1   Текущая версия ПО: 2.1", "brantelmoor"},
      {"BrAnTeLmOoR X1 2.1", "Устройство: X1   Текущая версия ПО: 2.1", "BrAnTeLmOoR"},
      {"BRANTELMOOR X1 2.1 and more", "Устройство: X1   Текущая версия ПО: 2.1", "BRANTELMOOR"},
      {"BRANTELMOOR X1 2.1\r\n", "Устройство: X1   Текущая версия ПО: 2.1\r\n", "BRANTELMOOR"},
      {"BRANTELMOOR X1", "Устройство: X1   Текущая версия ПО: ", "BRANTELMOOR"},
      {"BRANTELMOOR  X1 2.1", "Устройство:    Текущая версия ПО: X1", "BRANTELMOOR"},
      {"BRANTELMOOR", nullptr, "BRANTELMOOR"},
      {"", nullptr, ""},
      {" BRANTELMOOR X1 2.1", nullptr, ""},
      {"BRANTELMOORX X1 2.1", nullptr, "BRANTELMOORX"},
      {"BRANTELMOO X1 2.1", nullptr, "BRANTELMOO"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    ProbeBench bench;
    bench.Work(2, StringData(RcString(c.reply)));
    ASSERT_EQ(bench.status.Count(), 1u);
    EXPECT_EQ(Text(bench.status.Last()), c.status != nullptr ? c.status : kNotFound);
    Recorder& judged = c.status != nullptr ? bench.found : bench.notFound;
    const Recorder& silent = c.status != nullptr ? bench.notFound : bench.found;
    ASSERT_EQ(judged.Count(), 1u);
    EXPECT_EQ(Text(judged.Last()), c.word);
    EXPECT_EQ(silent.Count(), 0u);
    EXPECT_EQ(bench.Selector(), c.status != nullptr ? 1 : 0);
    EXPECT_EQ(bench.sent.Count() + bench.openPort.Count(), 0u);
  }
}

// Port 0 is a failed open: "not found" and nothing on the line.
TEST_F(ProbeSchemeTest, OpenResultDecidesBetweenVersAndNotFound) {
  for (const std::int32_t port : {0, 1, 255}) {
    SCOPED_TRACE(port);
    ProbeBench bench;
    bench.Work(0, Int(port));
    const Recorder& line = port == 0 ? bench.status : bench.sent;  // the one that speaks
    ASSERT_EQ(line.Count(), 1u);
    EXPECT_EQ(Text(line.Last()), port == 0 ? kNotFound : "VERS");
    EXPECT_EQ(bench.sent.Count() + bench.status.Count(), 1u);
    EXPECT_EQ(bench.notFound.Count(), port == 0 ? 1u : 0u);
    EXPECT_EQ(bench.found.Count(), 0u);
  }
}

TEST_F(ProbeSchemeTest, SelectorStaysUntilTheNextRecognition) {
  ProbeBench bench;
  bench.Work(2, Str("BRANTELMOOR X1 2.1"));
  bench.Work(2, Str("garbage"));  // a failure leaves the selector alone
  EXPECT_EQ(bench.Selector(), 1);
  bench.Work(2, Str("BRANTELMOOR X1 2.1"));  // the one-bit selector wraps
  EXPECT_EQ(bench.Selector(), 0);
}

}  // namespace
}  // namespace vn::test

#include "components/serial/line_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "components/serial/port_name.h"

namespace vn::serial {
namespace {

TEST(PortName, Validation) {
  struct Case {
    std::string name;
    int expected;  // 0: rejected
  };
  const Case cases[] = {
      {"com7", 7},  {"CoM255", 255}, {"COM1", 1}, {"COM12A", 12}, {"COM007", 7}, {"COM0", 0}, {"COM256", 0},
      {"COM", 0},   {"COM 3", 0},    {"COM1234", 0}, {"", 0},   {"CON5", 0},    {"\xC3OM1", 0},
      {std::string("COM\0" "5", 5), 0}, {std::string(1000, 'C'), 0},
  };
  for (const auto& c : cases) {
    const auto number = ParseComPortNumber(c.name);
    EXPECT_EQ(number.value_or(0), c.expected) << '"' << c.name << '"';
  }
}

TEST(LineSettings, FlagWordIsRebuiltFromProperties) {
  TComProperties p;
  p.AbortOnError = true;
  LineSettings fetched;
  fetched.Flags = 0xFFFFFFFF;  // nothing of the old word may survive
  fetched.EofChar = 26;
  fetched.ErrorChar = 9;
  const LineSettings s = ComposeLineSettings(p, 1, 2, 38462, fetched);
  EXPECT_EQ(s.Flags, 0x0001u | 0x0010u | 0x2000u | 0x4000u);
  EXPECT_EQ(s.Baud, 38462u);
  EXPECT_EQ(s.Length, 28u);
  EXPECT_EQ(s.EofChar, 26);
  EXPECT_EQ(s.ErrorChar, 9);  // kept: parity errors are not replaced
}

TEST(LineSettings, ControlIndexesOutOfRangeBecomeZero) {
  const TComProperties p;
  const LineSettings fetched;
  struct Case {
    int dtr, rts;
    std::uint32_t flags;
  };
  const Case cases[] = {{2, 3, 0x0020 | 0x3000}, {3, 4, 0}, {-1, -1, 0}, {1, 1, 0x0010 | 0x1000}};
  for (const auto& c : cases) {
    EXPECT_EQ(ComposeLineSettings(p, c.dtr, c.rts, 0, fetched).Flags, 0x0001u | c.flags) << c.dtr << ' ' << c.rts;
  }
}

TEST(LineSettings, QueueLimitsAndCharacters) {
  TComProperties p;
  p.DataBits = 3;
  p.Parity = 2;
  p.StopBits = 2;
  p.XonChar = 17;
  p.XoffChar = 19;
  p.EventChar = 0x10A;
  for (const auto& [inQueue, limit] : {std::pair{4096, 1024}, {10, 2}, {3, 0}}) {
    p.InQueue = inQueue;
    const LineSettings s = ComposeLineSettings(p, 0, 0, 0, LineSettings{});
    EXPECT_EQ(s.XonLimit, limit);
    EXPECT_EQ(s.XoffLimit, limit);
  }
  const LineSettings s = ComposeLineSettings(p, 0, 0, 0, LineSettings{});
  EXPECT_EQ(s.ByteSize, 8);
  EXPECT_EQ(s.Parity, 2);
  EXPECT_EQ(s.StopBits, 2);
  EXPECT_EQ(s.XonChar, 17);
  EXPECT_EQ(s.XoffChar, 19);
  EXPECT_EQ(s.EvtChar, 0x0A);
}

TEST(LineSettings, EventMaskAndTimeouts) {
  TComProperties p;
  EXPECT_EQ(EventMaskOf(p), 0u);
  p.EvRxChar = p.EvErr = p.EvRx80Full = true;
  EXPECT_EQ(EventMaskOf(p), 0x0001u | 0x0080u | 0x0400u);

  p.ReadInterval = 0xFFFFFFFF;
  p.WriteTotalConstant = 1000;
  p.WriteTotalMultiplier = 100;
  const LineTimeouts t = TimeoutsOf(p);
  EXPECT_EQ(t.ReadInterval, 0xFFFFFFFFu);
  EXPECT_EQ(t.ReadTotalConstant, 0u);
  EXPECT_EQ(t.WriteTotalConstant, 1000u);
  EXPECT_EQ(t.WriteTotalMultiplier, 100u);
}

}  // namespace
}  // namespace vn::serial

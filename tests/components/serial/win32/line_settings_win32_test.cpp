#include "components/serial/line_settings_win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <tuple>

namespace vn::serial {
namespace {

namespace lf = line_flag;

// One DCB bitfield, read by name.
struct FlagCase {
  const char* name;
  std::uint32_t bit;
  std::function<unsigned(const DCB&)> field;
};

const FlagCase kFlagCases[] = {
    {"fBinary", lf::Binary, [](const DCB& d) { return unsigned{d.fBinary}; }},
    {"fParity", lf::Parity, [](const DCB& d) { return unsigned{d.fParity}; }},
    {"fOutxCtsFlow", lf::OutxCtsFlow, [](const DCB& d) { return unsigned{d.fOutxCtsFlow}; }},
    {"fOutxDsrFlow", lf::OutxDsrFlow, [](const DCB& d) { return unsigned{d.fOutxDsrFlow}; }},
    {"fDsrSensitivity", lf::DsrSensitivity, [](const DCB& d) { return unsigned{d.fDsrSensitivity}; }},
    {"fTXContinueOnXoff", lf::TxContinueOnXoff, [](const DCB& d) { return unsigned{d.fTXContinueOnXoff}; }},
    {"fOutX", lf::OutX, [](const DCB& d) { return unsigned{d.fOutX}; }},
    {"fInX", lf::InX, [](const DCB& d) { return unsigned{d.fInX}; }},
    {"fErrorChar", lf::ErrorChar, [](const DCB& d) { return unsigned{d.fErrorChar}; }},
    {"fNull", lf::Null, [](const DCB& d) { return unsigned{d.fNull}; }},
    {"fAbortOnError", lf::AbortOnError, [](const DCB& d) { return unsigned{d.fAbortOnError}; }},
};

auto Fields(const LineSettings& s) {
  return std::tuple(s.Length, s.Baud, s.Flags, s.XonLimit, s.XoffLimit, s.ByteSize, s.Parity, s.StopBits, s.XonChar,
                    s.XoffChar, s.ErrorChar, s.EofChar, s.EvtChar);
}

// Each flag bit sets its own bitfield and clears all others, whether the
// fields were clear or set before; the driver's own fields go back as they
// came.
TEST(LineSettingsWin32, EachFlagBitSetsItsOwnBitfieldAndNoOther) {
  for (const int before : {0x00, 0xFF}) {
    const std::uint32_t spare = before == 0 ? 0u : 0xFFFFFFFFu;
    for (const FlagCase& c : kFlagCases) {
      SCOPED_TRACE(std::string(c.name) + (before == 0 ? " from clear" : " from set"));
      LineSettings settings;
      settings.Flags = c.bit;
      DCB dcb;
      std::memset(&dcb, before, sizeof dcb);
      PutLineSettings(settings, dcb);
      for (const FlagCase& other : kFlagCases) {
        EXPECT_EQ(other.field(dcb), other.bit == c.bit ? 1u : 0u) << other.name;
      }
      EXPECT_EQ(dcb.fDtrControl, 0u);
      EXPECT_EQ(dcb.fRtsControl, 0u);
      EXPECT_EQ(dcb.fDummy2, spare & 0x1FFFFu);
      EXPECT_EQ(dcb.wReserved, spare & 0xFFFFu);
      EXPECT_EQ(dcb.wReserved1, spare & 0xFFFFu);
      EXPECT_EQ(LineSettingsOf(dcb).Flags, c.bit);
    }
  }
}

TEST(LineSettingsWin32, EveryFieldGoesToItsPlaceAndBackUnchanged) {
  const LineSettings settings{
      .Length = 28, .Baud = 38462,
      .Flags = lf::Binary | lf::AbortOnError | lf::Null | (2u << lf::DtrControlShift) | (3u << lf::RtsControlShift),
      .XonLimit = 1024, .XoffLimit = 1025, .ByteSize = 7, .Parity = 4, .StopBits = 2, .XonChar = 17,
      .XoffChar = 19, .ErrorChar = '?', .EofChar = static_cast<char>(0xFA), .EvtChar = '\n'};

  DCB dcb{};
  PutLineSettings(settings, dcb);
  EXPECT_EQ(dcb.DCBlength, sizeof(DCB));
  EXPECT_EQ(dcb.BaudRate, 38462u);
  EXPECT_EQ(dcb.fDtrControl, 2u);  // both bits of each control index
  EXPECT_EQ(dcb.fRtsControl, 3u);
  EXPECT_EQ(dcb.XonLim, 1024);
  EXPECT_EQ(dcb.XoffLim, 1025);
  EXPECT_EQ(dcb.ByteSize, 7);
  EXPECT_EQ(dcb.Parity, 4);
  EXPECT_EQ(dcb.StopBits, 2);
  EXPECT_EQ(dcb.XonChar, 17);
  EXPECT_EQ(dcb.XoffChar, 19);
  EXPECT_EQ(dcb.ErrorChar, '?');
  EXPECT_EQ(dcb.EofChar, static_cast<char>(0xFA));
  EXPECT_EQ(dcb.EvtChar, '\n');

  EXPECT_EQ(Fields(LineSettingsOf(dcb)), Fields(settings));
}

}  // namespace
}  // namespace vn::serial

#include "components/serial/line_rules.h"

#include <utility>

namespace vn::serial {

LineSettings ComposeLineSettings(const TComProperties& p, std::int32_t dtr, std::int32_t rts,
                                 std::int32_t baud, const LineSettings& fetched) {
  if (dtr < 0 || dtr >= 3) dtr = 0;
  if (rts < 0 || rts >= 4) rts = 0;

  LineSettings s = fetched;
  s.Length = 28;
  s.Baud = static_cast<std::uint32_t>(baud);
  std::uint32_t flags = line_flag::Binary;
  flags |= static_cast<std::uint32_t>(dtr) << line_flag::DtrControlShift;
  flags |= static_cast<std::uint32_t>(rts) << line_flag::RtsControlShift;
  if (p.DiscardNull) flags |= line_flag::Null;
  if (p.AbortOnError) flags |= line_flag::AbortOnError;
  if (p.CheckParity) {
    flags |= line_flag::Parity;
    if (p.ReplaceErrors) {
      flags |= line_flag::ErrorChar;
      s.ErrorChar = static_cast<char>(p.ErrorChar & 0xFF);
    }
  }
  if (p.DsrSensitivity) flags |= line_flag::DsrSensitivity;
  if (p.OutxCtsFlow) flags |= line_flag::OutxCtsFlow;
  if (p.OutxDsrFlow) flags |= line_flag::OutxDsrFlow;
  if (p.TxContinueOnXoff) flags |= line_flag::TxContinueOnXoff;
  if (p.InX) flags |= line_flag::InX;
  if (p.OutX) flags |= line_flag::OutX;
  s.Flags = flags;

  const auto limit = static_cast<std::uint16_t>(p.InQueue / 4);
  s.XonLimit = limit;
  s.XoffLimit = limit;
  s.ByteSize = static_cast<std::uint8_t>(p.DataBits + 5);
  s.Parity = static_cast<std::uint8_t>(p.Parity);
  s.StopBits = static_cast<std::uint8_t>(p.StopBits);
  s.XonChar = static_cast<char>(p.XonChar & 0xFF);
  s.XoffChar = static_cast<char>(p.XoffChar & 0xFF);
  s.EvtChar = static_cast<char>(p.EventChar & 0xFF);
  return s;
}

std::uint32_t EventMaskOf(const TComProperties& p) {
  using namespace line_event;
  const std::pair<bool, std::uint32_t> events[] = {
      {p.EvRxChar, RxChar}, {p.EvRxFlag, RxFlag}, {p.EvTxEmpty, TxEmpty}, {p.EvCTS, Cts},
      {p.EvDSR, Dsr},       {p.EvRLSD, Rlsd},     {p.EvBreak, Break},     {p.EvErr, Err},
      {p.EvRing, Ring},     {p.EvRx80Full, Rx80Full}};
  std::uint32_t mask = 0;
  for (const auto& [wanted, bit] : events) {
    if (wanted) mask |= bit;
  }
  return mask;
}

LineTimeouts TimeoutsOf(const TComProperties& p) {
  return LineTimeouts{p.ReadInterval, p.ReadTotalMultiplier, p.ReadTotalConstant, p.WriteTotalMultiplier,
                      p.WriteTotalConstant};
}

std::vector<RcString> LineErrorTexts(std::uint32_t errors, bool checkParity) {
  using namespace line_error;
  const std::pair<std::uint32_t, const char*> texts[] = {
      {Frame, "Receive Framing Error"}, {RxParity, "Receive Parity Error"},
      {Overrun, "Receive Overrun Error"}, {RxOver, "Receive Queue overflow"},
      {TxFull, "TX Queue is full"},       {Break, "Break Detected"},
      {Io, "Port I/O Error"},             {Mode, "Requested mode unsupported"}};
  std::vector<RcString> list;
  for (const auto& [bit, text] : texts) {
    if ((errors & bit) == 0) continue;
    if (bit == RxParity && !checkParity) continue;
    list.emplace_back(text);
  }
  return list;
}

}  // namespace vn::serial

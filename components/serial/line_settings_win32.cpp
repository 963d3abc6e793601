#include "components/serial/line_settings_win32.h"

namespace vn::serial {
namespace {

static_assert(sizeof(DCB) == 28, "the record's length field is the DCB's size");

constexpr unsigned Bit(std::uint32_t flags, std::uint32_t bit) { return (flags & bit) != 0 ? 1u : 0u; }

constexpr unsigned Field(std::uint32_t flags, std::uint32_t mask, std::uint32_t shift) {
  return (flags & mask) >> shift;
}

}  // namespace

// The flag word holds the DCB's bitfields in their own order, but the
// layout of bitfields is the compiler's business: each one is set by name.
void PutLineSettings(const LineSettings& s, DCB& dcb) {
  namespace lf = line_flag;
  dcb.DCBlength = s.Length;
  dcb.BaudRate = s.Baud;
  dcb.fBinary = Bit(s.Flags, lf::Binary);
  dcb.fParity = Bit(s.Flags, lf::Parity);
  dcb.fOutxCtsFlow = Bit(s.Flags, lf::OutxCtsFlow);
  dcb.fOutxDsrFlow = Bit(s.Flags, lf::OutxDsrFlow);
  dcb.fDtrControl = Field(s.Flags, lf::DtrControlMask, lf::DtrControlShift);
  dcb.fDsrSensitivity = Bit(s.Flags, lf::DsrSensitivity);
  dcb.fTXContinueOnXoff = Bit(s.Flags, lf::TxContinueOnXoff);
  dcb.fOutX = Bit(s.Flags, lf::OutX);
  dcb.fInX = Bit(s.Flags, lf::InX);
  dcb.fErrorChar = Bit(s.Flags, lf::ErrorChar);
  dcb.fNull = Bit(s.Flags, lf::Null);
  dcb.fRtsControl = Field(s.Flags, lf::RtsControlMask, lf::RtsControlShift);
  dcb.fAbortOnError = Bit(s.Flags, lf::AbortOnError);
  dcb.XonLim = s.XonLimit;
  dcb.XoffLim = s.XoffLimit;
  dcb.ByteSize = s.ByteSize;
  dcb.Parity = s.Parity;
  dcb.StopBits = s.StopBits;
  dcb.XonChar = s.XonChar;
  dcb.XoffChar = s.XoffChar;
  dcb.ErrorChar = s.ErrorChar;
  dcb.EofChar = s.EofChar;
  dcb.EvtChar = s.EvtChar;
}

LineSettings LineSettingsOf(const DCB& dcb) {
  namespace lf = line_flag;
  std::uint32_t flags = 0;
  const auto put = [&flags](unsigned on, std::uint32_t bit) {
    if (on != 0) flags |= bit;
  };
  put(dcb.fBinary, lf::Binary);
  put(dcb.fParity, lf::Parity);
  put(dcb.fOutxCtsFlow, lf::OutxCtsFlow);
  put(dcb.fOutxDsrFlow, lf::OutxDsrFlow);
  put(dcb.fDsrSensitivity, lf::DsrSensitivity);
  put(dcb.fTXContinueOnXoff, lf::TxContinueOnXoff);
  put(dcb.fOutX, lf::OutX);
  put(dcb.fInX, lf::InX);
  put(dcb.fErrorChar, lf::ErrorChar);
  put(dcb.fNull, lf::Null);
  put(dcb.fAbortOnError, lf::AbortOnError);
  flags |= (static_cast<std::uint32_t>(dcb.fDtrControl) << lf::DtrControlShift) & lf::DtrControlMask;
  flags |= (static_cast<std::uint32_t>(dcb.fRtsControl) << lf::RtsControlShift) & lf::RtsControlMask;

  LineSettings s;
  s.Length = dcb.DCBlength;
  s.Baud = dcb.BaudRate;
  s.Flags = flags;
  s.XonLimit = dcb.XonLim;
  s.XoffLimit = dcb.XoffLim;
  s.ByteSize = dcb.ByteSize;
  s.Parity = dcb.Parity;
  s.StopBits = dcb.StopBits;
  s.XonChar = dcb.XonChar;
  s.XoffChar = dcb.XoffChar;
  s.ErrorChar = dcb.ErrorChar;
  s.EofChar = dcb.EofChar;
  s.EvtChar = dcb.EvtChar;
  return s;
}

}  // namespace vn::serial

// CRC over hexadecimal (and raw) text with arbitrary kinds and parameters.
#include <cstdint>

#include "components/data/crc16_32.h"
#include "core/dispatch.h"
#include "fuzz/fuzz_input.h"

namespace {

struct Sink {
  vn::RcString text;
  void doEvent(vn::TData& data, std::uint16_t) { text = data.SData; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vn::fuzz::FuzzInput input(data, size);
  vn::StartDispatch();
  vn::TVNCRC16_32 crc;
  Sink sink;
  crc.HexInput = input.Byte() % 4;
  crc.Type = input.Byte() % 7;
  crc.SwapBytes = (input.Byte() & 1) != 0;
  crc.Poly = vn::RcString(input.Text());
  crc.Init = vn::RcString(input.Text());
  crc.onCRC = vn::MakePoint<&Sink::doEvent>(0, &sink);
  vn::FireString(vn::MakePoint<&vn::TVNCRC16_32::doCRC>(0, &crc), vn::RcString(input.Rest()));
  const std::size_t expected = crc.Type == 4 ? 8 : 4;
  if (sink.text.size() < expected || sink.text.size() > 8) __builtin_trap();
  return 0;
}

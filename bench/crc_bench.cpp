// The upload's CRC path: one hexadecimal byte per doCRC, the running value
// carried from call to call as text through the Init data point.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "components/data/crc16_32.h"
#include "components/data/hex_text.h"
#include "core/dispatch.h"

namespace vn {
namespace {

// Holds the running CRC text, as the main window's hidden edit field does.
struct CrcStore {
  RcString text{"FFFF"};
  void doText(TData& data, std::uint16_t) { text = data.SData; }
  void varText(TData& data, std::uint16_t) { dtString(data, text); }
};

void WireLikeUpload(TVNCRC16_32& crc, CrcStore& store) {
  crc.HexInput = 1;
  crc.Type = 0;
  crc.Poly = RcString("$A001");
  crc.Init = RcString("$FFFF");
  crc.InitPoint = MakePoint<&CrcStore::varText>(0, &store);
  crc.onCRC = MakePoint<&CrcStore::doText>(0, &store);
}

std::vector<RcString> HexBytes() {
  std::vector<RcString> hex;
  for (std::uint32_t b = 0; b < 256; ++b) hex.emplace_back(NumberToHex(b, 1));
  return hex;
}

void BM_DoCrcOneHexByte(benchmark::State& state) {
  TVNCRC16_32 crc;
  CrcStore store;
  WireLikeUpload(crc, store);
  const std::vector<RcString> hex = HexBytes();
  const TPointLink entry = MakePoint<&TVNCRC16_32::doCRC>(0, &crc);
  StartDispatch();
  std::uint8_t b = 0;
  for (auto _ : state) FireString(entry, hex[b++]);
  StopDispatch();
  benchmark::DoNotOptimize(store.text);
}
BENCHMARK(BM_DoCrcOneHexByte);

// The whole 130 048-byte image, one byte per call, Init chained.
void BM_DoCrcWholeImage(benchmark::State& state) {
  constexpr std::size_t kImageSize = 130048;
  std::vector<std::uint8_t> image(kImageSize);
  for (std::size_t i = 0; i < kImageSize; ++i) image[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
  const std::vector<RcString> hex = HexBytes();
  TVNCRC16_32 crc;
  CrcStore store;
  WireLikeUpload(crc, store);
  const TPointLink entry = MakePoint<&TVNCRC16_32::doCRC>(0, &crc);
  StartDispatch();
  for (auto _ : state) {
    store.text = RcString("FFFF");
    for (std::uint8_t byte : image) FireString(entry, hex[byte]);
  }
  StopDispatch();
  const std::uint32_t expected =
      ComputeCrc(0, 0xA001, 0xFFFF, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()),
                 CrcInput::RawBytes);
  if (store.text.view() != CrcToHex(0, expected, false)) state.SkipWithError("chained CRC differs");
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kImageSize));
}
BENCHMARK(BM_DoCrcWholeImage)->Unit(benchmark::kMillisecond);

// A long message in one call: the whole 256-entry table is built first.
void BM_ComputeCrcFullTable(benchmark::State& state) {
  const std::string message(static_cast<std::size_t>(state.range(0)), 'x');
  for (auto _ : state) benchmark::DoNotOptimize(ComputeCrc(0, 0xA001, 0xFFFF, message, CrcInput::RawBytes));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ComputeCrcFullTable)->Arg(64)->Arg(4096);

}  // namespace
}  // namespace vn

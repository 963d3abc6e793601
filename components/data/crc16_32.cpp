#include "components/data/crc16_32.h"

#include <array>
#include <cstddef>

#include "components/data/hex_text.h"
#include "core/dispatch.h"

namespace vn {
namespace {

using CrcTable = std::array<std::uint32_t, 256>;

constexpr std::uint8_t kLastKind = 4;

bool IsReflected16(std::uint8_t kind) { return kind <= 2; }

// Register arithmetic is unsigned 32-bit for every kind: a polynomial wider
// than the register leaves its traces in the entries exactly as it would in
// the device's own table.
std::uint32_t TableEntry(std::uint8_t kind, std::uint32_t poly, std::uint32_t index) {
  std::uint32_t r = 0;
  if (IsReflected16(kind)) {
    std::uint32_t d = index;
    for (int bit = 0; bit < 8; ++bit) {
      r = ((d ^ r) & 1u) != 0 ? (r >> 1) ^ poly : r >> 1;
      d >>= 1;
    }
  } else if (kind == 3) {
    std::uint32_t d = index << 8;
    for (int bit = 0; bit < 8; ++bit) {
      r = ((d ^ r) & 0x8000u) != 0 ? (r << 1) ^ poly : r << 1;
      d <<= 1;
    }
  } else if (kind == 4) {
    r = index;
    for (int bit = 0; bit < 8; ++bit) r = (r & 1u) != 0 ? (r >> 1) ^ poly : r >> 1;
  }
  return r;
}

void BuildTable(CrcTable& table, std::uint8_t kind, std::uint32_t poly) {
  for (std::uint32_t i = 0; i < table.size(); ++i) table[i] = TableEntry(kind, poly, i);
}

// Below this many input bytes the table entries are worked out as they are
// needed instead of all 256 up front: the upload feeds one byte per call, and
// an entry is a pure function of kind, polynomial and index, so both ways
// give the same register.
constexpr std::size_t kFullTableFrom = 64;

class CrcRegister {
 public:
  CrcRegister(std::uint8_t kind, std::uint32_t poly, std::uint32_t init, std::size_t inputSize)
      : kind_(kind), poly_(poly), r_(kind == 4 ? init : init & 0xFFFFu) {
    if (kind_ <= kLastKind && inputSize >= kFullTableFrom) {
      BuildTable(table_, kind_, poly_);
      tableBuilt_ = true;
    }
  }

  void Feed(std::uint8_t byte) {
    ++fed_;
    if (IsReflected16(kind_)) {
      r_ = (Entry((byte ^ r_) & 0xFFu) & 0xFFFFu) ^ (r_ >> 8);
    } else if (kind_ == 3) {
      // r_ stays within 16 bits, so the index stays below 256.
      r_ = (Entry(byte ^ (r_ >> 8)) & 0xFFFFu) ^ ((r_ << 8) & 0xFFFFu);
    } else if (kind_ == 4) {
      r_ = Entry((byte ^ r_) & 0xFFu) ^ (r_ >> 8);
    }
  }

  // An empty input leaves the initial value untouched, final step included:
  // that is what lets a result seed the next call.
  std::uint32_t Finish() const {
    if (fed_ == 0) return r_;
    switch (kind_) {
      case 1: return Swap16(r_);
      case 2: return Swap16(~r_ & 0xFFFFu);
      case 4: return ~r_;
      default: return r_;
    }
  }

  static std::uint32_t Swap16(std::uint32_t v) { return ((v & 0xFFu) << 8) | ((v >> 8) & 0xFFu); }

 private:
  std::uint32_t Entry(std::uint32_t index) const {
    return tableBuilt_ ? table_[index] : TableEntry(kind_, poly_, index);
  }

  std::uint8_t kind_;
  std::uint32_t poly_;
  std::uint32_t r_;
  std::size_t fed_ = 0;
  bool tableBuilt_ = false;
  CrcTable table_;  // filled only when tableBuilt_
};

std::uint8_t HexPieceByte(std::string_view piece) {
  return static_cast<std::uint8_t>(HexTextToNumber(piece) & 0xFFu);
}

void FeedRaw(CrcRegister& reg, std::string_view input) {
  for (char c : input) reg.Feed(static_cast<std::uint8_t>(c));
}

void FeedHex(CrcRegister& reg, std::string_view input) {
  for (std::size_t pos = 0; pos < input.size(); pos += 2) reg.Feed(HexPieceByte(input.substr(pos, 2)));
}

// Pairs up the characters that survive the removal of blanks and "$" as they
// come, so the input is never copied.
void FeedStrippedHex(CrcRegister& reg, std::string_view input) {
  char piece[2] = {};
  std::size_t held = 0;
  for (char c : input) {
    if (c == ' ' || c == '$') continue;
    piece[held++] = c;
    if (held == 2) {
      reg.Feed(HexPieceByte(std::string_view(piece, 2)));
      held = 0;
    }
  }
  if (held == 1) reg.Feed(HexPieceByte(std::string_view(piece, 1)));
}

}  // namespace

std::uint32_t ComputeCrc(std::uint8_t kind, std::uint32_t poly, std::uint32_t init,
                         std::string_view input, CrcInput form) {
  CrcRegister reg(kind, poly, init, input.size());
  switch (form) {
    case CrcInput::RawBytes: FeedRaw(reg, input); break;
    case CrcInput::HexText: FeedHex(reg, input); break;
    case CrcInput::StrippedHex: FeedStrippedHex(reg, input); break;
  }
  return reg.Finish();
}

std::string CrcToHex(std::uint8_t kind, std::uint32_t crc, bool swapBytes) {
  if (kind == 4) return NumberToHex(crc, 8);
  const std::uint32_t low = crc & 0xFFFFu;
  return NumberToHex(swapBytes ? CrcRegister::Swap16(low) : low, 4);
}

CrcInput CrcInputForm(std::uint8_t hexInput) {
  switch (hexInput) {
    case 0: return CrcInput::RawBytes;
    case 1: return CrcInput::StrippedHex;
    default: return CrcInput::HexText;
  }
}

void TVNCRC16_32::doCRC(TData& data, std::uint16_t /*index*/) {
  const RcString input = ReadString(data, Data, RcString());
  const RcString polyText = ReadString(data, PolyPoint, Poly);
  const RcString initText = ReadString(data, InitPoint, Init);
  const std::uint32_t crc = ComputeCrc(Type, HexTextToNumber(polyText), HexTextToNumber(initText),
                                       input, CrcInputForm(HexInput));
  DeferString(data, onCRC, RcString(CrcToHex(Type, crc, SwapBytes)));
}

}  // namespace vn

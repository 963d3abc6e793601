#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/point_link.h"
#include "core/rc_string.h"
#include "core/tdata.h"

namespace vn {

// How the bytes to checksum are given.
enum class CrcInput : std::uint8_t {
  RawBytes,     // every byte as it stands
  HexText,      // two hex digits per byte, cut from the first character on
  StrippedHex,  // as HexText once every blank and "$" is dropped
};

// CRC kinds (the component's `Type`):
//   0: reflected 16-bit, no final step (CRC-16/MODBUS, CRC-16/ARC)
//   1: as 0, then the two bytes exchanged
//   2: as 0, then complemented and the two bytes exchanged (CRC-16/X-25 swapped)
//   3: MSB-first 16-bit, no final step (CRC-16/XMODEM, CRC-16/IBM-3740)
//   4: reflected 32-bit, complemented (CRC-32)
// Any other kind feeds nothing and leaves the initial value's low 16 bits.
// Reflected kinds take the polynomial in reflected form, unchanged.
//
// Returns the register after the kind's final step; the final step is only
// taken when at least one byte was fed, so a result can seed the next call
// and chaining one byte at a time equals one call over the whole message.
// The lookup table lives on the caller's stack: calls on any threads are
// independent of each other.
std::uint32_t ComputeCrc(std::uint8_t kind, std::uint32_t poly, std::uint32_t init,
                         std::string_view input, CrcInput form);

// Eight digits for kind 4; four digits of the 16-bit register otherwise,
// with its two bytes exchanged first when `swapBytes` is set.
std::string CrcToHex(std::uint8_t kind, std::uint32_t crc, bool swapBytes);

// The `HexInput` property: 0 raw bytes, 1 hex with blanks and "$" removed,
// anything else hex taken as it stands.
CrcInput CrcInputForm(std::uint8_t hexInput);

// Table-driven CRC over a string, handed on as upper-case hexadecimal text.
class TVNCRC16_32 {
 public:
  std::uint8_t HexInput = 0;
  std::uint8_t Type = 0;
  RcString Poly;  // hex text, default for PolyPoint
  RcString Init;  // hex text, default for InitPoint
  bool SwapBytes = false;

  TPointLink Data;
  TPointLink PolyPoint;
  TPointLink InitPoint;
  TPointLink onCRC;

  void doCRC(TData& data, std::uint16_t index);
};

}  // namespace vn

#include "tools/sim/crc16_modbus.h"

#include <array>

namespace vn::sim {
namespace {

constexpr std::array<std::uint16_t, 256> MakeTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned value = i;
    for (int bit = 0; bit < 8; ++bit) value = (value & 1U) != 0 ? (value >> 1) ^ 0xA001U : value >> 1;
    table[i] = static_cast<std::uint16_t>(value);
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kTable = MakeTable();

}  // namespace

std::uint16_t Crc16ModbusUpdate(std::uint16_t crc, std::uint8_t byte) {
  return static_cast<std::uint16_t>((crc >> 8) ^ kTable[(crc ^ byte) & 0xFFU]);
}

std::uint16_t Crc16Modbus(std::string_view bytes, std::uint16_t crc) {
  for (char c : bytes) crc = Crc16ModbusUpdate(crc, static_cast<std::uint8_t>(c));
  return crc;
}

}  // namespace vn::sim

#pragma once

#include <cstdint>
#include <string_view>

namespace vn::sim {

// The device's own running CRC-16/MODBUS (reflected polynomial 0xA001,
// initial value 0xFFFF, no final xor). Written apart from the updater's CRC
// component so that a fault in one cannot hide the same fault in the other.
inline constexpr std::uint16_t kCrc16ModbusInit = 0xFFFF;

std::uint16_t Crc16ModbusUpdate(std::uint16_t crc, std::uint8_t byte);
std::uint16_t Crc16Modbus(std::string_view bytes, std::uint16_t crc = kCrc16ModbusInit);

}  // namespace vn::sim

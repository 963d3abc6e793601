#pragma once

#include <cstdint>
#include <string>

namespace vn::sim {

// What one run of the simulator saw, printed as one JSON line at its end.
struct Summary {
  std::uint64_t bytes = 0;   // image bytes (echo: every byte)
  std::uint64_t blocks = 0;  // complete 256-byte blocks of them
  std::uint16_t crc = 0xFFFF;
  bool pusk = false;
  std::uint32_t vers = 0;
  std::uint64_t extra = 0;   // bytes after PUSK or after the device stopped answering
  std::string error;         // empty: none
  std::uint64_t device = 0;  // which device of a line, counting from 1 (printed first); 0: not shown
};

std::string SummaryJson(const Summary& summary);

}  // namespace vn::sim

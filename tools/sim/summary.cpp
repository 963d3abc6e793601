#include "tools/sim/summary.h"

#include <cstdio>

#include "core/json_string.h"

namespace vn::sim {

std::string SummaryJson(const Summary& summary) {
  char crc[8];
  std::snprintf(crc, sizeof crc, "%04X", static_cast<unsigned>(summary.crc));
  std::string out = "{";
  if (summary.device != 0) out += "\"device\":" + std::to_string(summary.device) + ",";
  out += "\"bytes\":" + std::to_string(summary.bytes) + ",\"blocks\":" + std::to_string(summary.blocks) +
         ",\"crc\":\"" + crc + "\",\"pusk\":" + (summary.pusk ? "true" : "false") +
         ",\"vers\":" + std::to_string(summary.vers) + ",\"extra\":" + std::to_string(summary.extra) + ",\"error\":";
  if (summary.error.empty()) {
    out += "null";
  } else {
    out += JsonString(summary.error);
  }
  out += '}';
  return out;
}

}  // namespace vn::sim

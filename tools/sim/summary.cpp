#include "tools/sim/summary.h"

#include <cstdio>

namespace vn::sim {
namespace {

void AppendJsonString(std::string& out, const std::string& text) {
  out += '"';
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x7F) {
      // Bytes above ASCII are escaped one by one: the line stays ASCII
      // whatever code page the text came in.
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace

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
    AppendJsonString(out, summary.error);
  }
  out += '}';
  return out;
}

}  // namespace vn::sim

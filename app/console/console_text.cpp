#include "app/console/console_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "core/json_string.h"

namespace vn::console {
namespace {

std::string Format(const char* format, double a, double b = 0) {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

int Percent(const Progress& p) { return p.total > 0 ? std::clamp(p.blocks * 100 / p.total, 0, 100) : 0; }

double Rate(const Progress& p) {  // bytes per second
  return p.seconds > 0 ? p.blocks * p.blockSize / p.seconds : 0;
}

// Seconds left at the rate so far; negative when unknown.
double SecondsLeft(const Progress& p) {
  if (p.blocks <= 0 || p.seconds <= 0) return -1;
  return p.seconds / p.blocks * std::max(p.total - p.blocks, 0);
}

std::string RateText(const Progress& p) { return Format("%.1f KiB/s", Rate(p) / 1024.0); }

std::string Clock(double seconds) {
  const long whole = std::lround(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%02ld:%02ld", whole / 60, whole % 60);
  return text;
}

}  // namespace

std::string ProgressBar(const Progress& progress, int width) {
  const int filled = progress.total > 0 ? std::clamp(progress.blocks * width / progress.total, 0, width) : 0;
  std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                    std::string(static_cast<std::size_t>(width - filled), '.') + "]";
  char counts[48];
  std::snprintf(counts, sizeof counts, "  %3d/%d  %3d%%  ", progress.blocks, progress.total, Percent(progress));
  const double left = SecondsLeft(progress);
  return bar + counts + RateText(progress) + "  " + (left < 0 ? std::string("--:--") : Clock(left)) + " left";
}

std::string ProgressLine(const Progress& progress) {
  char text[64];
  std::snprintf(text, sizeof text, "block %d/%d (%d%%), ", progress.blocks, progress.total, Percent(progress));
  const double left = SecondsLeft(progress);
  return text + RateText(progress) + (left < 0 ? std::string() : Format(", %.0f s left", left));
}

std::string HexBytes(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto byte = static_cast<std::uint8_t>(c);
    if (!text.empty()) text += ' ';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

std::string TraceLine(double seconds, bool sent, std::string_view bytes) {
  std::string line = Format("%12.6f ", seconds) + (sent ? ">" : "<");
  if (!bytes.empty()) line += ' ' + HexBytes(bytes);
  return line;
}

std::string JsonSummary(const Summary& s) {
  std::string out = "{\"command\":";
  out += JsonString(s.command);
  out += ",\"result\":";
  out += JsonString(s.result);
  out += ",\"exit_code\":" + std::to_string(s.exitCode) + ",\"port\":";
  out += JsonString(s.port);
  out += ",\"device\":";
  out += JsonString(s.device);
  out += ",\"version\":";
  out += JsonString(s.version);
  out += ",\"blocks\":" + std::to_string(s.blocks) + ",\"bytes\":" + std::to_string(s.bytes) + ",\"crc\":";
  out += JsonString(s.crc);
  out += ",\"seconds\":" + Format("%.3f", s.seconds) + ",\"image\":";
  out += JsonString(s.image);
  out += ",\"error\":";
  if (s.error.empty()) {
    out += "null";
  } else {
    out += JsonString(s.error);
  }
  return out + "}";
}

namespace {

std::string Padded(std::string_view text, std::size_t width) {
  std::string out(text);
  // Columns count characters, not bytes: UTF-8 continuation bytes take none.
  std::size_t shown = 0;
  for (const char c : out) shown += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  if (shown < width) out.append(width - shown, ' ');
  return out;
}

}  // namespace

std::string DeviceLine(const Summary& device, const Progress& progress, std::string_view state) {
  char counts[48];
  std::snprintf(counts, sizeof counts, "%3d/%d  %3d%%  ", progress.blocks, progress.total, Percent(progress));
  return Padded(device.port, 22) + " " + Padded(device.device + " " + device.version, 14) + " " + counts +
         Padded(RateText(progress), 11) + "  " + std::string(state);
}

std::string SummaryTable(const std::vector<Summary>& devices) {
  std::string table = Padded("port", 22) + " " + Padded("device", 12) + " " + Padded("version", 8) + " " +
                      Padded("result", 16) + " seconds\n";
  for (const Summary& d : devices) {
    table += Padded(d.port, 22) + " " + Padded(d.device.empty() ? "-" : d.device, 12) + " " +
             Padded(d.version.empty() ? "-" : d.version, 8) + " " + Padded(d.result, 16) + Format(" %7.2f", d.seconds) +
             "\n";
  }
  return table;
}

}  // namespace vn::console

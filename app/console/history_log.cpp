#include "app/console/history_log.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "core/json_string.h"

namespace vn::console {
namespace {

// Seconds to the millisecond, always with a point whatever the locale says.
std::string SecondsText(double seconds) {
  if (!std::isfinite(seconds)) return {};
  char text[64];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed, 3);
  return ec == std::errc() ? std::string(text, end) : std::string();
}

std::string CsvField(std::string_view text) {
  const std::string clean = WellFormedUtf8(text);
  if (clean.find_first_of(",\"\r\n") == std::string::npos) return clean;
  std::string out = "\"";
  for (const char c : clean) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string CsvRow(std::initializer_list<std::string> fields) {
  std::string row;
  bool first = true;
  for (const std::string& field : fields) {
    if (!first) row += ',';
    first = false;
    row += CsvField(field);
  }
  return row + "\r\n";
}

}  // namespace

LogFormat LogFormatOf(std::string_view path) {
  constexpr std::string_view kCsv = ".csv";
  if (path.size() < kCsv.size()) return LogFormat::JsonLines;
  const std::string_view ending = path.substr(path.size() - kCsv.size());
  for (std::size_t i = 0; i < kCsv.size(); ++i) {
    const char c = ending[i] >= 'A' && ending[i] <= 'Z' ? static_cast<char>(ending[i] - 'A' + 'a') : ending[i];
    if (c != kCsv[i]) return LogFormat::JsonLines;
  }
  return LogFormat::Csv;
}

std::string FormatJsonRecord(const LogRecord& r) {
  const std::string seconds = SecondsText(r.seconds);
  return "{\"time\":" + JsonString(r.timeUtc) + ",\"host\":" + JsonString(r.host) + ",\"port\":" +
         JsonString(r.port) + ",\"adapter\":" + JsonString(r.adapter) + ",\"device\":" + JsonString(r.device) +
         ",\"version\":" + JsonString(r.version) + ",\"image\":" + JsonString(r.imageName) +
         ",\"image_size\":" + std::to_string(r.imageSize) + ",\"image_crc\":" + JsonString(r.imageCrc) +
         ",\"result\":" + JsonString(r.result) + ",\"exit_code\":" + std::to_string(r.exitCode) +
         ",\"blocks\":" + std::to_string(r.blocks) + ",\"seconds\":" + (seconds.empty() ? "null" : seconds) +
         ",\"error\":" + (r.error.empty() ? "null" : JsonString(r.error)) + "}\n";
}

std::string CsvHeader() {
  return CsvRow({"time", "host", "port", "adapter", "device", "version", "image", "image_size", "image_crc",
                 "result", "exit_code", "blocks", "seconds", "error"});
}

std::string FormatCsvRecord(const LogRecord& r) {
  return CsvRow({r.timeUtc, r.host, r.port, r.adapter, r.device, r.version, r.imageName,
                 std::to_string(r.imageSize), r.imageCrc, r.result, std::to_string(r.exitCode),
                 std::to_string(r.blocks), SecondsText(r.seconds), r.error});
}

std::string UtcTimeText(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto second = floor<seconds>(time);
  const auto day = floor<days>(second);
  const year_month_day date{day};
  const hh_mm_ss clock{second - day};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

std::unique_ptr<HistoryLog> HistoryLog::Open(const std::string& path, std::string& error) {
  const LogFormat format = LogFormatOf(path);
  std::unique_ptr<AppendOnlyFile> file = AppendOnlyFile::Open(path, error);
  if (!file) return nullptr;
  if (format == LogFormat::Csv && !file->AppendIfEmpty(CsvHeader(), error)) return nullptr;
  return std::unique_ptr<HistoryLog>(new HistoryLog(std::move(file), format));
}

bool HistoryLog::Append(const LogRecord& record, std::string& error) {
  return file_->Append(format_ == LogFormat::Csv ? FormatCsvRecord(record) : FormatJsonRecord(record), error);
}

}  // namespace vn::console

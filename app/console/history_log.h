#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace vn::console {

// One attempt at one device, as the history log keeps it. Texts are UTF-8;
// a byte that is not is written as U+FFFD, so a line always parses.
struct LogRecord {
  std::string timeUtc;  // ISO 8601, "2026-12-07T10:15:02Z"
  std::string host;
  std::string port;
  std::string adapter;
  std::string device;
  std::string version;
  std::string imageName;
  std::size_t imageSize = 0;
  std::string imageCrc;
  std::string result;
  int exitCode = 0;
  int blocks = 0;
  double seconds = 0;
  std::string error;  // empty when none
};

enum class LogFormat { JsonLines, Csv };

// The format a log's file name asks for: CSV for "*.csv" in any letter
// case, one JSON object per line otherwise.
LogFormat LogFormatOf(std::string_view path);

// A record as one line of JSON, its newline included. Keys: time, host,
// port, adapter, device, version, image, image_size, image_crc, result,
// exit_code, blocks, seconds, error (null when there is none).
std::string FormatJsonRecord(const LogRecord& record);

// The CSV header, naming the columns as the JSON keys, and a record as a
// CSV row; both end in CRLF. A field with a comma, a quote or a line break
// is quoted, its quotes doubled (RFC 4180).
std::string CsvHeader();
std::string FormatCsvRecord(const LogRecord& record);

// A moment as the log writes it: UTC to the whole second,
// "2026-12-07T10:15:02Z".
std::string UtcTimeText(std::chrono::system_clock::time_point time);

// This machine's name, as the network knows it; empty when the system
// does not tell.
std::string HostName();

// A file that only ever grows by whole lines, written by several processes
// at once (history_log_<platform>.cpp). Each append is one write to a file
// opened for appending, which the system puts at the end as a whole, so
// lines from different writers never interleave; the writers also hold a
// lock of their own around each line, for file systems that do not keep
// that promise (NFS between machines). It returns once the line is on the
// disk.
class AppendOnlyFile {
 public:
  virtual ~AppendOnlyFile() = default;

  // Opens `path` for appending, creating it. Refuses, with `error` set,
  // when its folder is missing, or when the file cannot be written there (a
  // read-only folder, a file of someone else's).
  static std::unique_ptr<AppendOnlyFile> Open(const std::string& path, std::string& error);

  virtual bool Append(std::string_view text, std::string& error) = 0;

  // Appends `text` only while the file is empty. The look and the write
  // hold the writers' lock, so of two writers that start a new file only
  // one writes.
  virtual bool AppendIfEmpty(std::string_view text, std::string& error) = 0;
};

// The history of device attempts, for --log FILE. Append may be called
// from several threads.
class HistoryLog {
 public:
  // Opens the log before anything else happens, so that a log that cannot
  // be written stops a run before a device is touched. A new CSV file gets
  // its header first.
  static std::unique_ptr<HistoryLog> Open(const std::string& path, std::string& error);

  bool Append(const LogRecord& record, std::string& error);

  LogFormat Format() const { return format_; }

 private:
  HistoryLog(std::unique_ptr<AppendOnlyFile> file, LogFormat format) : file_(std::move(file)), format_(format) {}

  std::unique_ptr<AppendOnlyFile> file_;
  LogFormat format_;
};

}  // namespace vn::console

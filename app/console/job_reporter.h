#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "app/console/device_job.h"
#include "app/console/flasher.h"

namespace vn::console {

class HistoryLog;

// The image a command writes, as the log names it.
struct ImageFacts {
  std::string name;  // "carried", or the file
  std::size_t size = 0;
  std::string crc;   // CRC-16/MODBUS of the whole image: what the device confirms last
};

// Where a command's words go: human lines (stdout, or stderr under
// --json), one JSON line per device, one log record per device, the trace.
class JobReporter {
 public:
  JobReporter(const Options& options, HistoryLog* log, ImageFacts image);

  // A line for the person at the terminal.
  void Say(const std::string& line);
  // "brantelmoor-flash: <text>" on standard error.
  void Complain(const std::string& text);
  // A device's attempt has ended: its failure or warning on standard
  // error, its JSON line, its log record. Answers false when the record
  // could not be written (said on standard error).
  bool Ended(const DeviceJob& job);
  // A trace printer for one device; `prefix` names its port when there are
  // several.
  std::function<void(bool sent, std::string_view bytes)> TraceFor(const std::string& label, bool prefix) const;

  std::FILE* Human() const { return human_; }

 private:
  const Options& options_;
  HistoryLog* log_;
  ImageFacts image_;
  std::FILE* human_;
  std::shared_ptr<std::mutex> traceMutex_ = std::make_shared<std::mutex>();
};

}  // namespace vn::console

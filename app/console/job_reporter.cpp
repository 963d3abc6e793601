#include "app/console/job_reporter.h"

#include <chrono>

#include "app/console/history_log.h"
#include "app/console/port_details.h"

namespace vn::console {
namespace {

using SteadyClock = std::chrono::steady_clock;

}  // namespace

JobReporter::JobReporter(const Options& options, HistoryLog* log, ImageFacts image)
    : options_(options), log_(log), image_(std::move(image)), human_(options.json ? stderr : stdout) {}

void JobReporter::Say(const std::string& line) {
  std::fprintf(human_, "%s\n", line.c_str());
  std::fflush(human_);
}

void JobReporter::Complain(const std::string& text) {
  std::fprintf(stderr, "brantelmoor-flash: %s\n", text.c_str());
  std::fflush(stderr);
}

bool JobReporter::Ended(const DeviceJob& job) {
  const Summary& summary = job.summary();
  if (!summary.error.empty()) Complain(summary.error);
  if (!job.warning().empty()) Complain("warning: " + job.warning());
  if (options_.json) {
    std::printf("%s\n", JsonSummary(summary).c_str());
    std::fflush(stdout);
  }
  if (log_ == nullptr) return true;
  LogRecord record;
  record.timeUtc = UtcTimeText(std::chrono::system_clock::now());
  record.host = HostName();
  record.port = summary.port;
  record.adapter = DetailsOfPort(job.comName()).vendorProduct;
  record.device = summary.device;
  record.version = summary.version;
  record.imageName = image_.name;
  record.imageSize = image_.size;
  record.imageCrc = image_.crc;
  record.result = summary.result;
  record.exitCode = summary.exitCode;
  record.blocks = summary.blocks;
  record.seconds = summary.seconds;
  record.error = summary.error;
  std::string error;
  if (log_->Append(record, error)) return true;
  Complain("the log lost a record: " + error);
  return false;
}

std::function<void(bool, std::string_view)> JobReporter::TraceFor(const std::string& label, bool prefix) const {
  const auto start = SteadyClock::now();
  return [label = prefix ? label + " " : std::string(), start, mutex = traceMutex_](bool sent, std::string_view bytes) {
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - start).count();
    const std::string line = label + TraceLine(seconds, sent, bytes);
    std::lock_guard lock(*mutex);
    std::fprintf(stderr, "%s\n", line.c_str());
  };
}

}  // namespace vn::console

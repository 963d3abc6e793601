#pragma once

// brantelmoor-flash as a child process, its standard output and error
// collected as they come.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace vn::test {

class FlasherProcess {
 public:
  explicit FlasherProcess(const std::vector<std::string>& arguments);
  FlasherProcess(const FlasherProcess&) = delete;
  FlasherProcess& operator=(const FlasherProcess&) = delete;
  ~FlasherProcess();

  // Collects output until standard output holds `text` or `limit` passes.
  bool WaitForOutput(const std::string& text, std::chrono::milliseconds limit);
  void Interrupt();
  // Collects output until the program ends; its exit code, or -1 when it
  // did not end within `limit` (it is killed then).
  int Finish(std::chrono::milliseconds limit = std::chrono::seconds(120));

  const std::string& Out() const { return out_; }
  const std::string& Err() const { return err_; }
  // The simulator's own summary line from standard error (--simulate).
  std::string DeviceSummary() const;

 private:
  bool Collect(std::chrono::milliseconds limit);

  pid_t pid_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  std::string out_;
  std::string err_;
};

}  // namespace vn::test

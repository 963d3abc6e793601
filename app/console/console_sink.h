#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "core/tdata.h"

namespace vn {

// The console's end of the flasher scheme: takes what the serial port, the
// probe and the upload report (on the reader and timer threads, inside
// their chains) and keeps it for the command, which waits on another
// thread. The first outcome of an upload is final: a watchdog failure that
// follows a success is not news.
class TVNConsoleSink {
 public:
  struct State {
    std::uint64_t changes = 0;  // counts every report
    bool openTried = false;
    bool opened = false;
    bool found = false;
    bool notFound = false;
    // The second and third words of the reply the probe recognised, as the
    // device sent them.
    std::string device;
    std::string version;
    std::int32_t blocks = 0;  // blocks the device acknowledged
    bool succeeded = false;
    bool failed = false;
    std::string lastReply;  // the device's last read during the upload
    std::string lastRead;   // the last bytes read from the port
  };

  // Called for every exchange when set: `sent` tells the direction.
  std::function<void(bool sent, std::string_view bytes)> Trace;
  // Called after every report, outside the sink's lock, when set: a command
  // that watches several devices waits for any of them at once. Set it
  // before the port opens.
  std::function<void()> OnChange;

  void doOpened(TData& data, std::uint16_t index);
  void doFound(TData& data, std::uint16_t index);
  void doNotFound(TData& data, std::uint16_t index);
  void doProgress(TData& data, std::uint16_t index);
  void doSuccess(TData& data, std::uint16_t index);
  void doFailure(TData& data, std::uint16_t index);
  void doReply(TData& data, std::uint16_t index);
  void doSent(TData& data, std::uint16_t index);
  void doReceived(TData& data, std::uint16_t index);

  State Snapshot() const;
  // Waits until `done` holds for the state or `limit` passes; answers the
  // state seen last.
  State WaitFor(const std::function<bool(const State&)>& done, std::chrono::milliseconds limit) const;

 private:
  template <class Change>
  void Report(Change change);

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  State state_;
};

}  // namespace vn

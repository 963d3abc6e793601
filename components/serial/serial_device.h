#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "components/serial/line_settings.h"

namespace vn::serial {

// Where a platform call failed, with the system's own error code. "No data
// yet" and "timed out" are normal results, not failures.
struct PlatformError {
  std::string operation;
  long code = 0;
};

enum class PurgeMode : std::uint8_t {
  Clear,          // drop what waits in both queues
  AbortAndClear,  // also abort transfers in progress
};

// One open serial port, in the component's terms. One file per platform
// implements it (serial_device_win32.cpp, serial_device_posix.cpp).
//
// Threads: the component calls everything with the scheme lock held, except
// AwaitEvent, which its reader thread calls without the lock, and which
// SetEventMask(0) from another thread must end.
class SerialDevice {
 public:
  // Opens the port called `name` ("COM5") for exclusive use. None when it
  // cannot be opened; `error` then says why.
  static std::shared_ptr<SerialDevice> Open(std::string_view name, PlatformError* error = nullptr);

  // Whether the port could be opened for exclusive use right now (it is
  // closed again at once): ports in use elsewhere fail.
  static bool CanOpen(std::string_view name);

  // The machine's serial port names in the system's own order. Stops at the
  // first entry that is not a plain port name; empty when there is no list.
  static std::vector<std::string> ListPorts();

  // Gives the calling thread (the reader) the highest normal priority.
  static void RaiseThreadPriority();

  SerialDevice(const SerialDevice&) = delete;
  SerialDevice& operator=(const SerialDevice&) = delete;
  ~SerialDevice();

  bool Purge(PurgeMode mode);
  void SetupQueues(std::int32_t input, std::int32_t output);  // a request: the result is not known
  bool FetchLineSettings(LineSettings& settings);
  bool ApplyLineSettings(const LineSettings& settings);
  bool ApplyTimeouts(const LineTimeouts& timeouts);
  // A mask of 0 also ends a wait in progress on another thread.
  bool SetEventMask(std::uint32_t mask);

  // The reader's wait for line events, in three steps so that only the
  // middle one runs without the scheme lock: start the wait, block until it
  // completes (false when it failed and the reader should end), then fetch
  // the event word (none when the completed wait reported a failure).
  void StartEventWait();
  bool AwaitEvent();
  std::optional<std::uint32_t> FinishEventWait();

  // Error word (cleared by the query) and the number of received bytes
  // waiting.
  bool QueryStatus(std::uint32_t& errors, std::uint32_t& inQueue);
  bool QueryModemStatus(std::uint32_t& status);

  // Writes all bytes within the write time-outs: the number written (0 when
  // the transfer failed), none when it could not even start.
  std::optional<std::uint32_t> Write(std::string_view bytes);
  // Reads up to `count` bytes within the read time-outs: the bytes (empty
  // when the transfer failed), none when it could not even start.
  std::optional<std::string> Read(std::uint32_t count);

  // The packet tick of the USB adapter behind the port, 0 for a UART: the
  // reader reports received bytes only after a little more quiet than that
  // (see burst_timing.h), so that an answer straddling a tick is not split.
  std::chrono::microseconds AdapterTick() const;

  void Flush();
  // Releases the port at once, so it can be opened again; later calls fail.
  void Close();

  const PlatformError& LastError() const;

 private:
  struct Impl;
  explicit SerialDevice(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace vn::serial

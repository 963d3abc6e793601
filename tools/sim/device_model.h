#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/sim/summary.h"

namespace vn::sim {

inline constexpr std::uint64_t kBlockSize = 256;

// Deliberate misbehaviour, each switched on alone. Block numbers count from
// 1; 0 leaves the fault off.
struct DeviceFaults {
  std::uint64_t wrongCrc = 0;
  std::uint64_t swapCrc = 0;
  std::uint64_t trailingCr = 0;
  std::uint64_t splitAnswer = 0;
  std::uint64_t silentFrom = 0;
  std::uint64_t earlyFz = 0;
  bool noVersReply = false;
  bool lowercaseName = false;
  bool noBlank = false;
  bool replyInTwo = false;
  std::string strayAfterProbe;  // bytes sent after each probe reply; empty: none
};

struct DeviceConfig {
  std::string name = "BRANTELMOOR";
  std::string designation = "X1";
  std::string version = "2.1";
  // The probe reply exactly as given, instead of name, designation and
  // version joined by blanks (for replies the faults cannot shape).
  std::optional<std::string> reply;
  std::uint64_t blocks = 508;
  bool echo = false;
  bool keepImage = false;  // hold the image bytes for Image()
  std::chrono::microseconds splitGap = std::chrono::milliseconds(50);
  std::chrono::microseconds strayDelay = std::chrono::milliseconds(100);
  DeviceFaults faults;
};

// One write of the device. `gap` is the pause before it, counted from the
// end of the piece before it (for a reply's first piece: from the moment the
// device has the request).
struct Piece {
  std::chrono::microseconds gap{0};
  std::string bytes;
  bool operator==(const Piece&) const = default;
};
using Reply = std::vector<Piece>;

// The device's side of the protocol, without I/O or clock: it is fed the
// received bytes one at a time and says what to send back.
class DeviceModel {
 public:
  explicit DeviceModel(DeviceConfig config);

  Reply Receive(std::uint8_t byte);
  // Ends the run: bytes still held back are judged as they stand.
  void Finish();
  // After "PUSK": the device runs its new firmware, which answers "VERS"
  // with the probe reply (counted in `vers`) and takes no image; every
  // other byte counts in `extra`, without an error.
  void Boot();

  bool Launched() const { return phase_ == Phase::Launched || phase_ == Phase::Booted; }
  const Summary& Result() const { return summary_; }
  // Image bytes in order (only with `keepImage`).
  const std::string& Image() const { return image_; }

 private:
  enum class Phase { AwaitVers, Image, AwaitPusk, Launched, Booted, Echo };

  Reply Probe();
  Reply ProbeReply();
  Reply ReceiveBooted(std::uint8_t byte);
  Reply ReceiveImage(std::uint8_t byte);
  Reply TakeImageByte(std::uint8_t byte);
  Reply AnswerBlock(std::uint64_t block);
  void ReceiveAfterFinal(std::uint8_t byte);
  void Unexpected(std::uint64_t count, const char* error);

  DeviceConfig config_;
  Phase phase_;
  Summary summary_;
  std::string image_;
  std::size_t held_ = 0;  // leading bytes of the awaited word seen so far
  bool silent_ = false;
};

}  // namespace vn::sim

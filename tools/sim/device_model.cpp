#include "tools/sim/device_model.h"

#include <string_view>
#include <utility>

#include "tools/sim/crc16_modbus.h"

namespace vn::sim {
namespace {

constexpr std::string_view kVers = "VERS";
constexpr std::string_view kPusk = "PUSK";
constexpr const char* kAfterFinal = "unexpected bytes after final block";
constexpr const char* kAfterPusk = "unexpected bytes after PUSK";

std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

DeviceModel::DeviceModel(DeviceConfig config)
    : config_(std::move(config)), phase_(config_.echo ? Phase::Echo : Phase::AwaitVers) {}

Reply DeviceModel::Receive(std::uint8_t byte) {
  const char c = static_cast<char>(byte);
  switch (phase_) {
    case Phase::Echo:
      if (config_.keepImage) image_ += c;
      ++summary_.bytes;
      summary_.crc = Crc16ModbusUpdate(summary_.crc, byte);
      return {Piece{{}, std::string(1, c)}};
    case Phase::AwaitVers:
      // "VERS" repeats none of its own beginning, so a mismatch only has to
      // restart the word (or begin it anew when the byte is its first letter).
      if (c == kVers[held_]) {
        if (++held_ < kVers.size()) return {};
        held_ = 0;
        return Probe();
      }
      held_ = c == kVers[0] ? 1 : 0;
      return {};
    case Phase::Image:
      return ReceiveImage(byte);
    case Phase::AwaitPusk:
      ReceiveAfterFinal(byte);
      return {};
    case Phase::Launched:
      Unexpected(1, kAfterPusk);
      return {};
    case Phase::Booted:
      return ReceiveBooted(byte);
  }
  return {};
}

void DeviceModel::Finish() {
  if (phase_ == Phase::Booted) {
    summary_.extra += held_;
  } else if (phase_ == Phase::AwaitPusk) {
    Unexpected(held_, kAfterFinal);
  } else if (phase_ == Phase::Image && summary_.bytes == 0) {
    for (std::size_t i = 0; i < held_; ++i) TakeImageByte(static_cast<std::uint8_t>(kVers[i]));
  }
  held_ = 0;
}

void DeviceModel::Boot() {
  if (phase_ == Phase::Launched) phase_ = Phase::Booted;
}

Reply DeviceModel::Probe() {
  if (!config_.faults.noVersReply) phase_ = Phase::Image;
  return ProbeReply();
}

Reply DeviceModel::ProbeReply() {
  ++summary_.vers;
  const DeviceFaults& faults = config_.faults;
  Reply reply;
  if (!faults.noVersReply) {
    const std::string name = faults.lowercaseName ? AsciiLower(config_.name) : config_.name;
    std::string text = name;
    if (config_.reply) {
      text = *config_.reply;
    } else if (!faults.noBlank) {
      text += ' ' + config_.designation + ' ' + config_.version;
    }
    if (faults.replyInTwo) {
      // The first part holds no blank, as when a line delay cuts the reply
      // behind the name.
      const std::size_t cut = !name.empty() && name.size() < text.size() ? name.size() : text.size() / 2;
      reply.push_back(Piece{{}, text.substr(0, cut)});
      reply.push_back(Piece{config_.splitGap, text.substr(cut)});
    } else {
      reply.push_back(Piece{{}, std::move(text)});
    }
  }
  if (!faults.strayAfterProbe.empty()) reply.push_back(Piece{config_.strayDelay, faults.strayAfterProbe});
  return reply;
}

Reply DeviceModel::ReceiveImage(std::uint8_t byte) {
  // A host that probes again before the first image byte gets a fresh reply
  // instead of having its "VERS" taken for the start of the image.
  if (summary_.bytes == 0) {
    if (static_cast<char>(byte) == kVers[held_]) {
      if (++held_ < kVers.size()) return {};
      held_ = 0;
      return Probe();
    }
    // At most three held bytes: they cannot complete a block.
    const std::size_t held = std::exchange(held_, 0);
    for (std::size_t i = 0; i < held; ++i) TakeImageByte(static_cast<std::uint8_t>(kVers[i]));
  }
  return TakeImageByte(byte);
}

Reply DeviceModel::TakeImageByte(std::uint8_t byte) {
  if (config_.keepImage) image_ += static_cast<char>(byte);
  ++summary_.bytes;
  summary_.crc = Crc16ModbusUpdate(summary_.crc, byte);
  if (silent_) ++summary_.extra;
  if (summary_.bytes % kBlockSize != 0) return {};
  ++summary_.blocks;
  return AnswerBlock(summary_.blocks);
}

Reply DeviceModel::AnswerBlock(std::uint64_t block) {
  const DeviceFaults& faults = config_.faults;
  if (faults.silentFrom != 0 && block >= faults.silentFrom) {
    silent_ = true;
    return {};
  }
  const auto crc = static_cast<std::uint16_t>(block == faults.wrongCrc ? ~summary_.crc : summary_.crc);
  const char high = static_cast<char>(crc >> 8);
  const char low = static_cast<char>(crc & 0xFFU);
  std::string answer = block == faults.swapCrc ? std::string{low, high} : std::string{high, low};
  if (block == config_.blocks || block == faults.earlyFz) {
    answer += "FZ";
    phase_ = Phase::AwaitPusk;
  }
  if (block == faults.trailingCr) answer += '\r';
  if (block != faults.splitAnswer) return {Piece{{}, std::move(answer)}};
  return {Piece{{}, answer.substr(0, 1)}, Piece{config_.splitGap, answer.substr(1)}};
}

void DeviceModel::ReceiveAfterFinal(std::uint8_t byte) {
  const char c = static_cast<char>(byte);
  if (c == kPusk[held_]) {
    if (++held_ == kPusk.size()) {
      held_ = 0;
      summary_.pusk = true;
      phase_ = Phase::Launched;
    }
    return;
  }
  // Like "VERS", "PUSK" repeats none of its beginning: what was held is lost.
  Unexpected(std::exchange(held_, 0), kAfterFinal);
  if (c == kPusk[0]) {
    held_ = 1;
  } else {
    Unexpected(1, kAfterFinal);
  }
}

Reply DeviceModel::ReceiveBooted(std::uint8_t byte) {
  const char c = static_cast<char>(byte);
  if (c == kVers[held_]) {
    if (++held_ < kVers.size()) return {};
    held_ = 0;
    return ProbeReply();
  }
  // As in AwaitVers, but what does not form "VERS" is counted.
  summary_.extra += std::exchange(held_, 0);
  if (c == kVers[0]) {
    held_ = 1;
  } else {
    ++summary_.extra;
  }
  return {};
}

void DeviceModel::Unexpected(std::uint64_t count, const char* error) {
  if (count == 0) return;
  summary_.extra += count;
  if (summary_.error.empty()) summary_.error = error;
}

}  // namespace vn::sim

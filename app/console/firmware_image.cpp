#include "app/console/firmware_image.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <system_error>
#include <utility>
#include <vector>

namespace vn::console {
namespace {

constexpr char kErased = '\xFF';  // what unwritten flash reads as

// Nothing sensible is that large; the cap also keeps a mistaken /dev/zero or a
// pipe from filling memory.
constexpr std::size_t kMaxFileSize = std::size_t{64} << 20;

FirmwareImage Failure(std::string error) {
  FirmwareImage image;
  image.error = std::move(error);
  return image;
}

std::string HexDigits(std::uint64_t value, std::size_t minDigits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0 || text.size() < minDigits);
  return text;
}

std::string Address(std::uint64_t address) { return "0x" + HexDigits(address, /*minDigits=*/1); }

// A byte as the user would recognise it in an editor.
std::string Shown(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 0x20 && byte <= 0x7E) return std::string("'") + c + "'";
  return "character 0x" + HexDigits(byte, /*minDigits=*/2);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsTextByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte >= 0x20 && byte <= 0x7E) || IsBlank(c) || c == '\r' || c == '\n';
}

// A binary that merely starts with ':' still holds some non-text byte, and a
// real HEX file never does.
bool LooksLikeHex(std::string_view content) {
  const std::size_t first = content.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos || content[first] != ':') return false;
  return std::all_of(content.begin(), content.end(), IsTextByte);
}

// Editors and old tools add a byte-order mark in front and Ctrl+Z (end of
// file under DOS) behind; neither belongs to the records.
std::string_view WithoutWrapping(std::string_view content) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (content.substr(0, kByteOrderMark.size()) == kByteOrderMark) content.remove_prefix(kByteOrderMark.size());
  while (!content.empty() && content.back() == '\x1A') content.remove_suffix(1);
  return content;
}

// A file whose first line is a HEX record but which holds a byte no HEX file
// holds is a damaged HEX file far more likely than a binary image that
// happens to begin with a line of text; flashing its text as firmware would
// be worse than refusing it. The error names the line of that byte.
std::optional<std::string> DamagedHex(std::string_view content) {
  constexpr std::size_t kShortestRecord = 11;  // ":LLAAAATTCC"
  const std::size_t first = content.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos || content[first] != ':') return std::nullopt;
  const std::size_t lineEnd = std::min(content.find('\n', first), content.size());
  const std::string_view firstLine = content.substr(first, lineEnd - first);
  if (firstLine.size() < kShortestRecord || !std::all_of(firstLine.begin(), firstLine.end(), IsTextByte)) {
    return std::nullopt;
  }
  const auto bad = std::find_if_not(content.begin(), content.end(), IsTextByte);
  const std::size_t line = 1 + static_cast<std::size_t>(std::count(content.begin(), bad, '\n'));
  return "line " + std::to_string(line) + ": " + Shown(*bad) + " cannot be in an Intel HEX file";
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

FirmwareImage ReadBinary(std::string_view content) {
  if (content.empty()) return Failure("image is empty");
  if (content.size() > kImageSize) {
    return Failure("image is " + std::to_string(content.size()) + " bytes, more than the " +
                   std::to_string(kImageSize) + " the device takes");
  }
  FirmwareImage image;
  image.ok = true;
  image.used = content.size();
  image.bytes.assign(content);
  image.bytes.resize(kImageSize, kErased);
  return image;
}

// One record decoded: count, offset (2), type, data, checksum. A count byte
// allows at most 255 data bytes, so the frame never exceeds 260 bytes.
struct Record {
  std::array<std::uint8_t, 260> bytes{};

  std::size_t Count() const { return bytes[0]; }
  std::uint32_t Offset() const { return std::uint32_t{bytes[1]} << 8 | bytes[2]; }
  std::uint8_t Type() const { return bytes[3]; }
  std::span<const std::uint8_t> Data() const { return std::span(bytes).subspan(4, Count()); }
  std::uint32_t Value16() const { return std::uint32_t{bytes[4]} << 8 | bytes[5]; }
};

// `text` is a trimmed, non-empty line whose first byte sits at `column` (from 1).
bool DecodeRecord(std::string_view text, std::size_t column, Record& record, std::string& error) {
  if (text.front() != ':') {
    error = "a record starts with ':', not " + Shown(text.front());
    return false;
  }
  const std::string_view digits = text.substr(1);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (DigitValue(digits[i]) < 0) {
      error = Shown(digits[i]) + " at column " + std::to_string(column + 1 + i) + " is not a hex digit";
      return false;
    }
  }
  if (digits.size() % 2 != 0) {
    error = "odd number of hex digits (" + std::to_string(digits.size()) + ")";
    return false;
  }
  const std::size_t size = digits.size() / 2;
  auto byteAt = [digits](std::size_t i) {
    return static_cast<std::uint8_t>(DigitValue(digits[2 * i]) << 4 | DigitValue(digits[2 * i + 1]));
  };
  if (size < 5) {
    error = "record too short: " + std::to_string(size) + " bytes, a record has at least 5";
    return false;
  }
  const std::size_t count = byteAt(0);
  if (size != count + 5) {
    error = "count says " + std::to_string(count) + " data bytes, the record holds " + std::to_string(size - 5);
    return false;
  }
  unsigned sum = 0;
  for (std::size_t i = 0; i < size; ++i) {
    record.bytes[i] = byteAt(i);
    sum += record.bytes[i];
  }
  if ((sum & 0xFF) != 0) {
    const std::uint8_t given = record.bytes[size - 1];
    const auto needed = static_cast<std::uint8_t>(given - sum);  // makes the whole record sum to 0
    error = "checksum is " + HexDigits(given, 2) + ", the record needs " + HexDigits(needed, 2);
    return false;
  }
  return true;
}

// Builds the image record by record. A bit per byte catches overlaps; the
// ranges the records filled are searched only to name the earlier line. Both
// stay small, so a parse costs little beyond the image itself (which matters
// under the fuzzer).
class HexReader {
 public:
  HexReader() { image_.bytes.assign(kImageSize, kErased); }

  bool Line(std::string_view raw, std::size_t number);
  FirmwareImage Finish();
  FirmwareImage Failed() { return Failure(std::move(error_)); }

 private:
  bool Apply(const Record& record, std::size_t number);
  bool SetBase(const Record& record, std::size_t number, std::uint64_t base);
  bool StoreData(const Record& record, std::size_t number);
  bool Fail(std::size_t number, const std::string& message);
  std::size_t LineDefining(std::size_t at) const;

  struct Filled {
    std::size_t first = 0;
    std::size_t last = 0;
    std::size_t line = 0;
  };

  FirmwareImage image_;
  std::bitset<kImageSize> defined_;
  std::vector<Filled> filled_;  // at most one entry per image byte, since overlaps stop the parse
  std::uint64_t base_ = 0;
  std::size_t endLine_ = 0;  // line of the end-of-file record, 0 before it
  std::string error_;
};

bool HexReader::Fail(std::size_t number, const std::string& message) {
  error_ = "line " + std::to_string(number) + ": " + message;
  return false;
}

bool HexReader::Line(std::string_view raw, std::size_t number) {
  if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
  std::size_t column = 1;
  while (!raw.empty() && IsBlank(raw.front())) {
    raw.remove_prefix(1);
    ++column;
  }
  while (!raw.empty() && IsBlank(raw.back())) raw.remove_suffix(1);
  if (raw.empty()) return true;
  if (endLine_ != 0) return Fail(number, "data after the end-of-file record on line " + std::to_string(endLine_));

  Record record;
  std::string problem;
  if (!DecodeRecord(raw, column, record, problem)) return Fail(number, problem);
  return Apply(record, number);
}

bool HexReader::Apply(const Record& record, std::size_t number) {
  switch (record.Type()) {
    case 0x00:
      return StoreData(record, number);
    case 0x01:
      endLine_ = number;
      return true;
    case 0x02:
      return SetBase(record, number, std::uint64_t{record.Value16()} * 16);
    case 0x04:
      return SetBase(record, number, std::uint64_t{record.Value16()} << 16);
    default:
      return Fail(number, "record type " + HexDigits(record.Type(), 2) + " is not supported");
  }
}

bool HexReader::SetBase(const Record& record, std::size_t number, std::uint64_t base) {
  if (record.Count() != 2) {
    return Fail(number, "address record (type " + HexDigits(record.Type(), 2) + ") holds " +
                            std::to_string(record.Count()) + " data bytes, not 2");
  }
  base_ = base;
  return true;
}

bool HexReader::StoreData(const Record& record, std::size_t number) {
  const std::span<const std::uint8_t> data = record.Data();
  if (data.empty()) return true;
  // Readers disagree on whether such a record wraps to the segment's start or
  // runs on, so neither guess is safe to flash.
  if (record.Offset() + data.size() > 0x10000) {
    return Fail(number, std::to_string(data.size()) + " bytes at offset " + Address(record.Offset()) +
                            " run past the end of the 64 KiB segment");
  }
  const std::uint64_t first = base_ + record.Offset();
  const std::uint64_t last = first + data.size() - 1;
  if (last >= kImageSize) {
    return Fail(number, "data at " + Address(first) + ".." + Address(last) + " lies beyond the " +
                            std::to_string(kImageSize) + "-byte image");
  }
  for (std::size_t i = 0; i < data.size(); ++i) {
    const std::size_t at = static_cast<std::size_t>(first) + i;
    if (defined_[at]) {
      return Fail(number, "byte " + Address(at) + " was already defined on line " + std::to_string(LineDefining(at)));
    }
    defined_.set(at);
    image_.bytes[at] = static_cast<char>(data[i]);
  }
  filled_.push_back({static_cast<std::size_t>(first), static_cast<std::size_t>(last), number});
  image_.used += data.size();
  return true;
}

std::size_t HexReader::LineDefining(std::size_t at) const {
  const auto found =
      std::find_if(filled_.begin(), filled_.end(), [at](const Filled& f) { return f.first <= at && at <= f.last; });
  return found == filled_.end() ? 0 : found->line;
}

FirmwareImage HexReader::Finish() {
  if (endLine_ == 0) return Failure("the end-of-file record (type 01) is missing");
  if (image_.used == 0) return Failure("the HEX file defines no data");
  image_.ok = true;
  image_.hex = true;
  return std::move(image_);
}

FirmwareImage ReadHex(std::string_view content) {
  HexReader reader;
  std::size_t start = 0;
  for (std::size_t number = 1; start < content.size(); ++number) {
    std::size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    if (!reader.Line(content.substr(start, end - start), number)) return reader.Failed();
    start = end + 1;
  }
  return reader.Finish();
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string Reason(int error) {
  return error == 0 ? std::string("unknown error") : std::generic_category().message(error);
}

bool ReadFile(const std::string& path, std::string& content, std::string& error) {
  errno = 0;
  const File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = "cannot open " + path + ": " + Reason(errno);
    return false;
  }
  std::array<char, 16384> chunk{};
  std::size_t got = 0;
  do {
    got = std::fread(chunk.data(), 1, chunk.size(), file.get());
    content.append(chunk.data(), got);
    if (content.size() > kMaxFileSize) {
      error = path + " is larger than " + std::to_string(kMaxFileSize >> 20) + " MiB, too large for a firmware file";
      return false;
    }
  } while (got == chunk.size());
  if (std::ferror(file.get()) != 0) {
    error = "cannot read " + path + ": " + Reason(errno);
    return false;
  }
  return true;
}

// Short enough for the small-string buffer, so reporting it cannot throw again.
constexpr const char* kOutOfMemory = "out of memory";

}  // namespace

FirmwareImage ParseFirmwareImage(std::string_view content) {
  try {
    const std::string_view text = WithoutWrapping(content);
    if (LooksLikeHex(text)) return ReadHex(text);
    if (const std::optional<std::string> damage = DamagedHex(text)) return Failure(*damage);
    return ReadBinary(content);
  } catch (const std::bad_alloc&) {
    return Failure(kOutOfMemory);
  }
}

FirmwareImage LoadFirmwareImage(const std::string& path) {
  std::string content;
  try {
    std::string error;
    if (!ReadFile(path, content, error)) return Failure(std::move(error));
  } catch (const std::bad_alloc&) {
    return Failure(kOutOfMemory);
  }
  return ParseFirmwareImage(content);
}

}  // namespace vn::console

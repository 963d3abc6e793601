#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vn::console {

// Where an upload stands, for the progress display.
struct Progress {
  int blocks = 0;        // confirmed by the device
  int total = 508;
  double seconds = 0;    // since the upload began
  int blockSize = 256;
};

// One line redrawn in place on a terminal:
// "[#########...........]  254/508  50%  9.6 KiB/s  00:13 left"
std::string ProgressBar(const Progress& progress, int width = 30);

// A line of its own for logs: "block 254/508 (50%), 9.6 KiB/s, 13 s left".
std::string ProgressLine(const Progress& progress);

// Bytes in hexadecimal as the messages quote them: "56 45 52 53".
std::string HexBytes(std::string_view bytes);

// One exchange on the line: seconds since the start, direction (">" sent,
// "<" received), the bytes in hexadecimal.
std::string TraceLine(double seconds, bool sent, std::string_view bytes);

// What a command did, for --json.
struct Summary {
  std::string command;    // "probe", "flash"
  std::string result;     // "success", "no device", ...
  int exitCode = 0;
  std::string port;
  std::string device;     // designation, as the device gave it
  std::string version;
  int blocks = 0;
  std::size_t bytes = 0;
  std::string crc;        // the running CRC-16 the device confirmed last, four hex digits
  double seconds = 0;
  std::string image;      // "carried", or the file
  std::string error;      // empty when none
};

// One line of JSON; texts are taken as UTF-8.
std::string JsonSummary(const Summary& summary);

// One device's line among several, redrawn in place on a terminal:
// "COM5        X1 2.1      254/508   50%   9.6 KiB/s  writing"
std::string DeviceLine(const Summary& device, const Progress& progress, std::string_view state);

// The table after several devices: port, device, version, result, seconds.
std::string SummaryTable(const std::vector<Summary>& devices);

}  // namespace vn::console

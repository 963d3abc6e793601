#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "core/tdata.h"

namespace vn::test {

// Renders a value and everything chained behind it, e.g. "I:5 S:ab N", so a
// test can compare whole chains at the moment they were seen (a recorded
// TData would keep a Next that may dangle by the time the test looks).
inline std::string ChainText(const TData& data) {
  std::string text;
  for (const TData* node = &data; node != nullptr; node = node->Next) {
    if (!text.empty()) text += ' ';
    switch (node->DataType) {
      case TagNull:
        text += "N";
        break;
      case TagInteger:
        text += "I:" + std::to_string(node->IData);
        break;
      case TagString:
        text += "S:" + node->SData.str();
        break;
      default:
        text += "T" + std::to_string(node->DataType);
        break;
    }
  }
  return text;
}

// An input point that logs the chain text of each value it receives into a
// journal shared with other points, prefixed with its own name.
struct ChainLog {
  std::vector<std::string>* journal;
  std::string name;

  void doEvent(TData& data, std::uint16_t /*index*/) {
    journal->push_back(name + "=" + ChainText(data));
  }
  TPointLink Link(std::uint16_t index = 0) { return MakePoint<&ChainLog::doEvent>(index, this); }
};

// A variable point that answers a fixed value and logs that it was asked.
struct LoggedAnswer {
  TData value;
  std::vector<std::string>* journal;
  std::string name;

  void varValue(TData& data, std::uint16_t /*index*/) {
    journal->push_back(name);
    data = value;
  }
  TPointLink Link() { return MakePoint<&LoggedAnswer::varValue>(0, this); }
};

// Replaces the value it receives by deferring 999 to nowhere: proves that
// what one receiver does to its value reaches no one else.
struct Clobber {
  TPointLink nowhere;
  void doEvent(TData& data, std::uint16_t /*index*/) { DeferInteger(data, nowhere, 999); }
  TPointLink Link() { return MakePoint<&Clobber::doEvent>(0, this); }
};

// Links a chain of values through nodes the test owns.
inline void LinkChain(std::vector<TData>& nodes) {
  for (std::size_t i = 0; i + 1 < nodes.size(); ++i) nodes[i].Next = &nodes[i + 1];
}

}  // namespace vn::test

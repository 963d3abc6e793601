#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "core/rc_string.h"
#include "core/tdata.h"

namespace vn {

inline void PrintTo(const RcString& s, std::ostream* os) { *os << '"' << s.view() << '"'; }

namespace test {

// Keeps dispatch live for the duration of a test.
class LiveDispatchTest : public ::testing::Test {
 protected:
  void SetUp() override { StartDispatch(); }
  void TearDown() override { StopDispatch(); }
};

// An input point that records what reached it, in order.
struct Recorder {
  struct Hit {
    TData value;
    std::uint16_t index;
  };
  std::vector<Hit> hits;

  void doEvent(TData& data, std::uint16_t index) { hits.push_back({data, index}); }
  TPointLink Link(std::uint16_t index = 0) { return MakePoint<&Recorder::doEvent>(index, this); }
  std::size_t Count() const { return hits.size(); }
  const TData& Last() const { return hits.back().value; }
};

// A variable point that answers a fixed value and counts the questions.
struct Answer {
  TData value;
  int asked = 0;

  void varValue(TData& data, std::uint16_t /*index*/) {
    ++asked;
    data = value;
  }
  TPointLink Link(std::uint16_t index = 0) { return MakePoint<&Answer::varValue>(index, this); }
};

inline TData Str(const char* text) { return StringData(RcString(text)); }
inline TData Int(std::int32_t value) { return IntegerData(value); }
inline TData Break() {
  TData data;
  data.DataType = TagBreak;
  return data;
}

}  // namespace test
}  // namespace vn

// Firing and reading must not touch the heap: values live in the callers'
// frames and strings are shared by count. This executable replaces the
// global allocator to count allocations inside a measured region.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "core/conversions.h"
#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace vn {
namespace {

// Receives a value, reads its arguments from two data points and the
// incoming chain, and defers it on: everything a pipeline stage does.
struct Stage {
  TPointLink Data;
  TPointLink Name;
  TPointLink out;
  std::int32_t sum = 0;
  void doWork(TData& data, std::uint16_t) {
    TData r;
    ReadData(data, Data, nullptr, r);
    sum += ReadInteger(data, TPointLink{}, 0);
    const RcString name = ReadString(data, Name, RcString());
    sum += static_cast<std::int32_t>(name.size());
    DeferData(data, out, r);
  }
};

TEST(Allocation, FiringAndReadingDoNotAllocate) {
  StartDispatch();
  const RcString longText(std::string(200, 'x'));  // beyond the inline size
  test::Answer number{test::Int(3)};
  test::Answer name{StringData(longText)};
  test::Recorder sink;
  sink.hits.reserve(16);
  Stage second{number.Link(), name.Link(), sink.Link()};
  Stage first{number.Link(), name.Link(), MakePoint<&Stage::doWork>(0, &second)};
  const TPointLink entry = MakePoint<&Stage::doWork>(0, &first);
  const TData chained = StringData(longText);

  const long before = gAllocations.load();
  TData value = StringData(longText);
  FireEvent(entry, value);
  FireEventCopy(entry, chained);
  FireInteger(entry, 7);
  FireString(entry, longText);
  FireNull(entry);
  TData in = test::Int(5);
  TData out;
  ReadData(in, number.Link(), nullptr, out);
  ReadDataChain(in, name.Link(), nullptr, out);
  TakeData(in, out);
  ReadPointOrBreak(out, name.Link());
  (void)ReadPointInteger(number.Link());
  (void)ReadString(in, name.Link(), RcString());
  (void)ToString(out);
  const long allocations = gAllocations.load() - before;
  StopDispatch();

  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(sink.Count(), 5u);
  EXPECT_TRUE(sink.Last().SData.SharesBufferWith(longText) || sink.Last().DataType == TagInteger);
  EXPECT_GT(first.sum, 0);
}

}  // namespace
}  // namespace vn

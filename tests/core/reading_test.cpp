#include <gtest/gtest.h>

#include <optional>

#include "core/conversions.h"
#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using test::Answer;
using test::Break;
using test::Int;
using test::Str;

class ReadingTest : public test::LiveDispatchTest {};

// A reader takes a connected point's answer, even NULL; after a Break answer,
// or unconnected, a set (non-zero) default; else the head of the incoming
// chain, which then moves on to the next value.
TEST_F(ReadingTest, PointThenSetDefaultThenIncomingChain) {
  struct Case {
    const char* name;
    std::optional<TData> answer;  // none: unconnected
    std::int32_t fallback, got;
    std::int32_t headAfter;  // of the incoming chain 7, 8
  };
  const Case cases[] = {
      {"point answering NULL wins", TData{}, 5, 0, 7},
      {"point wins over the default", Int(3), 5, 3, 7},
      {"Break falls back to the set default", Break(), 5, 5, 7},
      {"Break and an unset default take the chain", Break(), 0, 7, 8},
      {"unconnected: the set default", std::nullopt, 5, 5, 7},
      {"unconnected and unset: the chain", std::nullopt, 0, 7, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Answer answer{c.answer.value_or(TData{})};
    TData tail = Int(8);
    TData in = Int(7);
    in.Next = &tail;
    EXPECT_EQ(ReadInteger(in, c.answer ? answer.Link() : TPointLink{}, c.fallback), c.got);
    EXPECT_EQ(in.IData, c.headAfter);
    EXPECT_EQ(answer.asked, c.answer ? 1 : 0);
  }
}

// Taken values leave the chain one by one until NULL, which readers answer
// with their defaults. ReadData honours a default value unless it is NULL.
TEST_F(ReadingTest, ChainRunsOutIntoNull) {
  TData tail = Str("x");
  TData in = Int(7);
  in.Next = &tail;
  TData r;
  EXPECT_EQ(ReadString(in, TPointLink{}, RcString()), "7");
  ReadData(in, TPointLink{}, nullptr, r);
  EXPECT_EQ(r.SData, "x");
  EXPECT_EQ(in.DataType, TagNull);
  EXPECT_EQ(ReadInteger(in, TPointLink{}, 0), 0);
  EXPECT_EQ(ReadString(in, TPointLink{}, RcString("d")), "d");

  const TData fallback = Int(9);
  const TData nullDefault;
  in = Int(1);
  ReadData(in, TPointLink{}, &fallback, r);
  EXPECT_EQ(r.IData, 9);
  ReadData(in, TPointLink{}, &nullDefault, r);
  EXPECT_EQ(r.IData, 1);
  EXPECT_EQ(in.DataType, TagNull);
}

TEST_F(ReadingTest, ReadDataFromNullHeadDropsChain) {
  TData tail = Int(5);
  TData in;  // NULL head with a dangling chain: the NULL ends the chain
  in.Next = &tail;
  TData r;
  ReadData(in, TPointLink{}, nullptr, r);
  EXPECT_EQ(r.DataType, TagNull);
  EXPECT_EQ(in.Next, nullptr);
  EXPECT_EQ(in.DataType, TagNull);
}

// ReadDataChain keeps the chain of an answer; ReadData cuts it.
TEST_F(ReadingTest, OnlyReadDataChainKeepsTheAnswersChain) {
  TData tail = Int(2);
  Answer answer{Int(1)};
  answer.value.Next = &tail;
  TData in, r;
  ReadData(in, answer.Link(), nullptr, r);
  EXPECT_EQ(r.Next, nullptr);
  ReadDataChain(in, answer.Link(), nullptr, r);
  EXPECT_EQ(r.Next, &tail);
}

TEST(Chain, CopyStopsAfterNullValue) {
  TData c = Int(3);
  TData b;  // NULL in the middle ends the chain
  b.Next = &c;
  TData a = Int(1);
  a.Next = &b;
  TData copy;
  CopyData(copy, a);
  ASSERT_NE(copy.Next, nullptr);
  EXPECT_EQ(copy.Next->DataType, TagNull);
  EXPECT_EQ(copy.Next->Next, nullptr);
  FreeData(copy);

  TData nullHead;
  nullHead.Next = &c;
  CopyData(copy, nullHead);
  EXPECT_EQ(copy.Next, nullptr);
}

TEST(Chain, ConstructorsResetLinks) {
  TData tail;
  TPointLink link;
  TData d;
  d.Next = &tail;
  d.DeferredPoint = &link;
  dtInteger(d, 5);
  EXPECT_EQ(d.Next, nullptr);
  EXPECT_EQ(d.DeferredPoint, nullptr);
  d.Next = &tail;
  dtString(d, RcString("x"));
  EXPECT_EQ(d.Next, nullptr);
  EXPECT_EQ(d.DataType, TagString);
  d.Next = &tail;
  dtNull(d);
  EXPECT_EQ(d.Next, nullptr);
  EXPECT_EQ(d.SData, "x");  // other fields keep what they held
}

}  // namespace
}  // namespace vn

#include <gtest/gtest.h>

#include "core/conversions.h"
#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using test::Answer;
using test::Int;
using test::Str;

class ReadingTest : public test::LiveDispatchTest {};

TEST_F(ReadingTest, ConnectedPointWinsEvenWithNull) {
  Answer answer;  // answers NULL
  TData in = Int(7);
  EXPECT_EQ(ReadInteger(in, answer.Link(), 0), 0);
  EXPECT_EQ(in.DataType, TagInteger);  // incoming value not consumed
  EXPECT_EQ(in.IData, 7);
  EXPECT_EQ(answer.asked, 1);
}

TEST_F(ReadingTest, BreakAnswerFallsBack) {
  Answer answer{test::Break()};
  TData in = Int(7);
  EXPECT_EQ(ReadInteger(in, answer.Link(), 0), 7);
  EXPECT_EQ(in.DataType, TagNull);

  TData in2 = Str("x");
  EXPECT_EQ(ReadString(in2, answer.Link(), RcString("dflt")), "dflt");
  EXPECT_EQ(in2.SData, "x");
}

// A set default (non-zero, non-empty, non-NULL) wins and leaves the incoming
// value to the next reader; an unset one takes the incoming value.
TEST_F(ReadingTest, SetDefaultWinsOverIncoming) {
  TData in = Int(7);
  const TData fallback = Int(9);
  TData r;
  EXPECT_EQ(ReadInteger(in, TPointLink{}, 5), 5);
  EXPECT_EQ(ReadString(in, TPointLink{}, RcString("d")), "d");
  ReadData(in, TPointLink{}, &fallback, r);
  EXPECT_EQ(r.IData, 9);
  EXPECT_EQ(in.DataType, TagInteger);
  EXPECT_EQ(in.IData, 7);
  EXPECT_EQ(ReadString(in, TPointLink{}, RcString()), "7");
  EXPECT_EQ(in.DataType, TagNull);
  EXPECT_EQ(ReadString(in, TPointLink{}, RcString()), "");

  const TData nullDefault;
  in = Int(1);
  ReadData(in, TPointLink{}, &nullDefault, r);
  EXPECT_EQ(r.IData, 1);
  EXPECT_EQ(in.DataType, TagNull);
}

TEST_F(ReadingTest, ZeroDefaultMovesToNextChainedValue) {
  TData third = Int(3);
  TData second = Int(2);
  second.Next = &third;
  TData in = Int(1);
  in.Next = &second;
  EXPECT_EQ(ReadInteger(in, TPointLink{}, 0), 1);
  EXPECT_EQ(in.IData, 2);
  EXPECT_EQ(in.Next, &third);
  EXPECT_EQ(ReadInteger(in, TPointLink{}, 0), 2);
  EXPECT_EQ(ReadInteger(in, TPointLink{}, 0), 3);
  EXPECT_EQ(in.DataType, TagNull);
  EXPECT_EQ(ReadInteger(in, TPointLink{}, 0), 0);
}

TEST_F(ReadingTest, TwoReadsTakeStringThenInteger) {
  TData second = Int(42);
  TData in = Str("first");
  in.Next = &second;
  TData a, b;
  ReadData(in, TPointLink{}, nullptr, a);
  ReadData(in, TPointLink{}, nullptr, b);
  EXPECT_EQ(a.DataType, TagString);
  EXPECT_EQ(a.SData, "first");
  EXPECT_EQ(a.Next, nullptr);
  EXPECT_EQ(b.DataType, TagInteger);
  EXPECT_EQ(b.IData, 42);
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

// ReadDataChain keeps the chain of an answer and takes the incoming one whole;
// ReadData cuts the answer's chain.
TEST_F(ReadingTest, ReadDataChainKeepsChains) {
  TData tail = Int(2);
  Answer answer{Int(1)};
  answer.value.Next = &tail;
  TData in, r;
  ReadData(in, answer.Link(), nullptr, r);
  EXPECT_EQ(r.Next, nullptr);
  ReadDataChain(in, answer.Link(), nullptr, r);
  EXPECT_EQ(r.Next, &tail);

  in = Int(1);
  in.Next = &tail;
  ReadDataChain(in, TPointLink{}, nullptr, r);
  EXPECT_EQ(r.IData, 1);
  EXPECT_EQ(r.Next, &tail);
  EXPECT_EQ(in.DataType, TagNull);
  EXPECT_EQ(in.Next, nullptr);
}

TEST_F(ReadingTest, ReadPointOrBreak) {
  TData d = Int(3);
  ReadPointOrBreak(d, TPointLink{});
  EXPECT_EQ(d.DataType, TagBreak);

  Answer answer{Str("a")};
  TData e = Int(3);
  ReadPointOrBreak(e, answer.Link());
  EXPECT_EQ(e.SData, "a");
}

TEST(Chain, CopyDataMakesNewNodesAndFreeLeavesSource) {
  TData c = Int(3);
  TData b = Str("two");
  b.Next = &c;
  TData a = Int(1);
  a.Next = &b;

  TData copy;
  CopyData(copy, a);
  ASSERT_NE(copy.Next, nullptr);
  EXPECT_NE(copy.Next, &b);
  EXPECT_EQ(copy.Next->SData, "two");
  ASSERT_NE(copy.Next->Next, nullptr);
  EXPECT_NE(copy.Next->Next, &c);
  EXPECT_EQ(copy.Next->Next->IData, 3);
  EXPECT_EQ(copy.Next->Next->Next, nullptr);

  FreeData(copy);
  EXPECT_EQ(copy.Next, nullptr);
  EXPECT_EQ(copy.IData, 1);  // the head is untouched
  EXPECT_EQ(a.Next, &b);
  EXPECT_EQ(b.Next, &c);
  EXPECT_EQ(b.SData, "two");
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

TEST(Chain, OwnedChainSurvivesReassignFromItself) {
  TData b = Int(2);
  TData a = Int(1);
  a.Next = &b;
  TOwnedChain held;
  held.Assign(a);
  // Hand the held value (which shares the held nodes) back to its holder.
  const TData shared = held.Head();
  held.Assign(shared);
  ASSERT_NE(held.Head().Next, nullptr);
  EXPECT_EQ(held.Head().Next->IData, 2);
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

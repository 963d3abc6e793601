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

TEST_F(ReadingTest, NonZeroDefaultWinsOverIncoming) {
  TData in = Int(7);
  EXPECT_EQ(ReadInteger(in, TPointLink{}, 5), 5);
  EXPECT_EQ(in.IData, 7);
  EXPECT_EQ(in.DataType, TagInteger);
  EXPECT_EQ(ReadInteger(in, TPointLink{}, 0), 7);
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

TEST_F(ReadingTest, ReadDataUsesNonNullDefaultBeforeIncoming) {
  const TData fallback = Int(9);
  TData in = Int(1);
  TData r;
  ReadData(in, TPointLink{}, &fallback, r);
  EXPECT_EQ(r.IData, 9);
  EXPECT_EQ(in.IData, 1);

  const TData nullDefault;
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

TEST_F(ReadingTest, ReadDataCutsAnswerChainButReadDataChainKeepsIt) {
  TData tail = Int(2);
  Answer answer{Int(1)};
  answer.value.Next = &tail;
  TData in, r;
  ReadData(in, answer.Link(), nullptr, r);
  EXPECT_EQ(r.Next, nullptr);
  ReadDataChain(in, answer.Link(), nullptr, r);
  EXPECT_EQ(r.Next, &tail);
}

TEST_F(ReadingTest, ReadDataChainTakesIncomingWhole) {
  TData tail = Int(2);
  TData in = Int(1);
  in.Next = &tail;
  TData r;
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

TEST_F(ReadingTest, ReadStringDefaultsAndConversion) {
  TData in = Int(-12);
  EXPECT_EQ(ReadString(in, TPointLink{}, RcString("d")), "d");
  EXPECT_EQ(ReadString(in, TPointLink{}, RcString()), "-12");
  EXPECT_EQ(in.DataType, TagNull);
  EXPECT_EQ(ReadString(in, TPointLink{}, RcString()), "");
}

TEST_F(ReadingTest, ReadPointHelpers) {
  Answer number{Str("0042")};
  EXPECT_EQ(ReadPointInteger(number.Link()), 42);
  EXPECT_EQ(ReadPointInteger(TPointLink{}), 0);
  EXPECT_EQ(ReadPointStream(number.Link()), nullptr);
  EXPECT_EQ(ReadPointStream(TPointLink{}), nullptr);
}

TEST_F(ReadingTest, TakeDataTakesHead) {
  TData tail = Str("t");
  TData in = Int(1);
  in.Next = &tail;
  TData r;
  TakeData(in, r);
  EXPECT_EQ(r.IData, 1);
  EXPECT_EQ(in.SData, "t");
}

}  // namespace
}  // namespace vn

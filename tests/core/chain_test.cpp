#include <gtest/gtest.h>

#include "core/tdata.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using test::Int;
using test::Str;

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

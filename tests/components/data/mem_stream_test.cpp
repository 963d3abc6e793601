#include "components/data/mem_stream.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "components/data/data_to_file.h"
#include "components/data/memory_stream.h"
#include "core/conversions.h"
#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Recorder;

Bytes Contents(const TMemStream& stream) {
  return Bytes(stream.Memory().begin(), stream.Memory().end());
}

TEST(MemStream, SeekGrowsAndSetSizePullsThePositionBack) {
  TMemStream stream;
  EXPECT_EQ(stream.Seek(10, TSeekOrigin::Begin), 10);
  EXPECT_EQ(stream.GetSize(), 10);
  EXPECT_EQ(stream.Position(), 10);
  EXPECT_EQ(Contents(stream), Bytes(10, 0));
  stream.SetSize(4);
  EXPECT_EQ(stream.Position(), 4);
  EXPECT_EQ(stream.GetSize(), 4);
}

TEST(MemStream, SeekOrigins) {
  TMemStream stream;
  stream.SetSize(8);
  EXPECT_EQ(stream.Position(), 0);
  EXPECT_EQ(stream.Seek(3, TSeekOrigin::Begin), 3);
  EXPECT_EQ(stream.Seek(2, TSeekOrigin::Current), 5);
  EXPECT_EQ(stream.Seek(-1, TSeekOrigin::Current), 4);
  EXPECT_EQ(stream.Seek(-3, TSeekOrigin::End), 5);
  EXPECT_EQ(stream.Seek(2, TSeekOrigin::End), 10);
  EXPECT_EQ(stream.GetSize(), 10);
  EXPECT_EQ(stream.Seek(1, static_cast<TSeekOrigin>(3)), 10);  // unknown origin: no move
}

TEST(MemStream, SeekBeforeStartStopsAtZero) {
  TMemStream stream;
  stream.SetSize(6);
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(stream.Seek(-1, TSeekOrigin::Begin), 0);
  stream.Seek(5, TSeekOrigin::Begin);
  EXPECT_EQ(stream.Seek(kMin, TSeekOrigin::Current), 0);
  stream.Seek(5, TSeekOrigin::Begin);
  EXPECT_EQ(stream.Seek(kMin, TSeekOrigin::End), 0);
  EXPECT_EQ(stream.GetSize(), 6);
}

TEST(MemStream, WriteGrowsOnlyAsFarAsNeeded) {
  TMemStream stream;
  EXPECT_EQ(stream.Write(Bytes{1, 2}), 2);
  stream.Seek(1, TSeekOrigin::Begin);
  EXPECT_EQ(stream.Write(Bytes{7, 8, 9}), 3);
  EXPECT_EQ(stream.GetSize(), 4);
  EXPECT_EQ(stream.Position(), 4);
  EXPECT_EQ(Contents(stream), (Bytes{1, 7, 8, 9}));

  stream.Seek(1, TSeekOrigin::Begin);
  EXPECT_EQ(stream.Write(Bytes{5}), 1);  // inside: no growth
  EXPECT_EQ(Contents(stream), (Bytes{1, 5, 8, 9}));
  EXPECT_EQ(stream.Write(Bytes{}), 0);
  EXPECT_EQ(stream.Position(), 2);
}

TEST(MemStream, ReadStopsAtTheEndAndLeavesTheRestOfTheBuffer) {
  TMemStream stream;
  stream.Write(Bytes{1, 2, 3});
  stream.Seek(1, TSeekOrigin::Begin);
  std::array<std::uint8_t, 4> buffer{9, 9, 9, 9};
  EXPECT_EQ(stream.Read(buffer), 2);
  EXPECT_EQ(buffer, (std::array<std::uint8_t, 4>{2, 3, 9, 9}));
  EXPECT_EQ(stream.Position(), 3);
  EXPECT_EQ(stream.Read(buffer), 0);
  EXPECT_EQ(buffer, (std::array<std::uint8_t, 4>{2, 3, 9, 9}));
  EXPECT_EQ(stream.Position(), 3);
}

TEST(MemStream, NonPositiveSizeEmptiesTheStream) {
  for (std::int32_t size : {0, -1, std::numeric_limits<std::int32_t>::min()}) {
    TMemStream stream;
    stream.Write(Bytes{1, 2, 3});
    stream.SetSize(size);
    EXPECT_EQ(stream.GetSize(), 0) << size;
    EXPECT_EQ(stream.Position(), 0) << size;
    EXPECT_TRUE(stream.Memory().empty());
    std::array<std::uint8_t, 1> buffer{};
    EXPECT_EQ(stream.Read(buffer), 0);
  }
}

class StreamComponentsTest : public test::LiveDispatchTest {
 protected:
  void SetUp() override {
    LiveDispatchTest::SetUp();
    reader.Stream = MakePoint<&TVNMemoryStream::Stream>(0, &owner);
    reader.onGet = got.Link();
  }

  void Get() {
    TData data;
    FireEvent(MakePoint<&TVNDataToFile::doGet>(0, &reader), data);
  }

  TVNMemoryStream owner;
  TVNDataToFile reader;
  Recorder got;
};

TEST_F(StreamComponentsTest, ReadsBytesInOrderThenZeros) {
  auto stream = std::make_unique<TMemStream>();
  stream->Write(Bytes{0x10, 0xFF});
  stream->Seek(0, TSeekOrigin::Begin);
  owner.SetStream(std::move(stream));
  Get();
  Get();
  Get();
  ASSERT_EQ(got.Count(), 3u);
  for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(got.hits[k].value.DataType, TagInteger);
  EXPECT_EQ(got.hits[0].value.IData, 16);
  EXPECT_EQ(got.hits[1].value.IData, 255);
  EXPECT_EQ(got.hits[2].value.IData, 0);
  EXPECT_EQ(owner.OwnedStream().Position(), 2);
}

TEST_F(StreamComponentsTest, EveryHolderSeesTheSameStreamAndCursor) {
  owner.OwnedStream().Write(Bytes{1, 2, 3});
  owner.OwnedStream().Seek(0, TSeekOrigin::Begin);
  TData first;
  TData second;
  ReadPoint(reader.Stream, first);
  ReadPoint(reader.Stream, second);
  ASSERT_EQ(first.DataType, TagStream);
  EXPECT_EQ(ToStream(first), &owner.OwnedStream());
  EXPECT_EQ(ToStream(second), ToStream(first));
  Get();
  EXPECT_EQ(ToStream(first)->Position(), 1);
}

TEST_F(StreamComponentsTest, SetStreamReplacesTheLentStream) {
  auto loaded = std::make_unique<TMemStream>();
  TMemStream* loadedRef = loaded.get();
  owner.SetStream(std::move(loaded));
  EXPECT_EQ(ReadPointStream(reader.Stream), loadedRef);

  auto second = std::make_unique<TMemStream>();
  second->Write(Bytes{42});
  second->Seek(0, TSeekOrigin::Begin);
  owner.SetStream(std::move(second));  // the first one is freed (checked by the leak checker)
  Get();
  ASSERT_EQ(got.Count(), 1u);
  EXPECT_EQ(got.Last().IData, 42);

  owner.SetStream(nullptr);
  ASSERT_NE(ReadPointStream(reader.Stream), nullptr);
  EXPECT_EQ(owner.OwnedStream().GetSize(), 0);
}

TEST_F(StreamComponentsTest, WithoutAStreamNothingIsFired) {
  TVNDataToFile unconnected;
  unconnected.onGet = got.Link();
  TData data = test::Int(7);
  FireEvent(MakePoint<&TVNDataToFile::doGet>(0, &unconnected), data);
  EXPECT_EQ(data.IData, 7);

  test::Answer notAStream{test::Int(1)};
  unconnected.Stream = notAStream.Link();
  FireEvent(MakePoint<&TVNDataToFile::doGet>(0, &unconnected), data);
  EXPECT_EQ(got.Count(), 0u);
  EXPECT_EQ(notAStream.asked, 1);
}

}  // namespace
}  // namespace vn

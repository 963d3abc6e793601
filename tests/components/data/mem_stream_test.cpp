#include "components/data/mem_stream.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <memory>
#include <vector>

#include "components/data/data_to_file.h"
#include "components/data/memory_stream.h"
#include "components/data/stream_resource.h"
#include "core/dispatch.h"
#include "tests/support/test_points.h"

namespace vn {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

Bytes Contents(const TMemStream& stream) { return Bytes(stream.Memory().begin(), stream.Memory().end()); }

TEST(MemStream, SeekOriginsGrowthAndBounds) {
  struct Case {
    std::int32_t size, start, offset;
    TSeekOrigin origin;
    std::int32_t position, newSize;
  };
  const Case cases[] = {
      {0, 0, 10, TSeekOrigin::Begin, 10, 10}, {8, 0, 3, TSeekOrigin::Begin, 3, 8},
      {8, 3, 2, TSeekOrigin::Current, 5, 8},  {8, 5, -1, TSeekOrigin::Current, 4, 8},
      {8, 4, -3, TSeekOrigin::End, 5, 8},     {8, 5, 2, TSeekOrigin::End, 10, 10},
      {8, 5, 1, static_cast<TSeekOrigin>(3), 5, 8},  // unknown origin: no move
      {6, 5, -1, TSeekOrigin::Begin, 0, 6},   {6, 5, kMin, TSeekOrigin::Current, 0, 6},
      {6, 5, kMin, TSeekOrigin::End, 0, 6},
  };
  for (const Case& c : cases) {
    TMemStream stream;
    stream.SetSize(c.size);
    stream.Seek(c.start, TSeekOrigin::Begin);
    EXPECT_EQ(stream.Seek(c.offset, c.origin), c.position) << c.size << " " << c.start << " " << c.offset;
    EXPECT_EQ(stream.Position(), c.position);
    EXPECT_EQ(Contents(stream), Bytes(static_cast<std::size_t>(c.newSize), 0)) << c.offset;  // grown with zeros
  }
}

TEST(MemStream, WriteAndReadStayWithinTheBytes) {
  TMemStream stream;
  EXPECT_EQ(stream.Write(Bytes{1, 2}), 2);
  stream.Seek(1, TSeekOrigin::Begin);
  EXPECT_EQ(stream.Write(Bytes{7, 8, 9}), 3);
  EXPECT_EQ(stream.Position(), 4);
  stream.Seek(1, TSeekOrigin::Begin);
  EXPECT_EQ(stream.Write(Bytes{5}), 1);  // inside: no growth
  EXPECT_EQ(stream.Write(Bytes{}), 0);
  EXPECT_EQ(stream.Position(), 2);
  EXPECT_EQ(Contents(stream), (Bytes{1, 5, 8, 9}));

  std::array<std::uint8_t, 4> buffer{7, 7, 7, 7};
  EXPECT_EQ(stream.Read(buffer), 2);  // the rest of the buffer is left alone
  EXPECT_EQ(stream.Read(buffer), 0);
  EXPECT_EQ(buffer, (std::array<std::uint8_t, 4>{8, 9, 7, 7}));
  EXPECT_EQ(stream.Position(), 4);
}

class StreamComponentsTest : public test::LiveDispatchTest {};

// Every asker gets the same stream, so they share its cursor.
TEST_F(StreamComponentsTest, ReadsBytesInOrderThenZerosFromTheSharedStream) {
  TVNMemoryStream owner;
  TVNDataToFile reader;
  test::Recorder got;
  reader.Stream = MakePoint<&TVNMemoryStream::Stream>(0, &owner);
  reader.onGet = got.Link();
  auto stream = std::make_unique<TMemStream>();
  stream->Write(Bytes{0x10, 0xFF});
  stream->Seek(0, TSeekOrigin::Begin);
  owner.SetStream(std::move(stream));  // the first one is freed (checked by the leak checker)
  TMemStream* const lent = ReadPointStream(reader.Stream);
  EXPECT_EQ(lent, &owner.OwnedStream());
  EXPECT_EQ(ReadPointStream(reader.Stream), lent);
  for (int k = 0; k < 3; ++k) FireNull(MakePoint<&TVNDataToFile::doGet>(0, &reader));
  ASSERT_EQ(got.Count(), 3u);
  for (const auto& hit : got.hits) EXPECT_EQ(hit.value.DataType, TagInteger);
  EXPECT_EQ(got.hits[0].value.IData, 16);
  EXPECT_EQ(got.hits[1].value.IData, 255);
  EXPECT_EQ(got.hits[2].value.IData, 0);
  EXPECT_EQ(lent->Position(), 2);

  owner.SetStream(nullptr);  // a fresh empty stream
  EXPECT_EQ(ReadPointStream(reader.Stream), &owner.OwnedStream());
  EXPECT_EQ(owner.OwnedStream().GetSize(), 0);
}

TEST_F(StreamComponentsTest, WithoutAStreamNothingIsFired) {
  TVNDataToFile unconnected;
  test::Recorder got;
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

// tests/data/testblob.bin is carried by this test program as "TESTBLOB":
// byte i is ((i * 37) ^ (i >> 3)) & 0xFF, 300 bytes, zero bytes included.
std::uint8_t ExpectedByte(int i) { return static_cast<std::uint8_t>(((i * 37) ^ (i >> 3)) & 0xFF); }

TEST(LoadStreamResource, LoadsCarriedBlobPositionedAtStart) {
  auto stream = LoadStreamResource("TESTBLOB");
  ASSERT_EQ(stream->Size(), 300);
  EXPECT_EQ(stream->Position(), 0);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(stream->Memory()[static_cast<std::size_t>(i)], ExpectedByte(i)) << i;

  std::array<std::uint8_t, 4> head{};
  EXPECT_EQ(stream->Read(head), 4);
  EXPECT_EQ(head[1], ExpectedByte(1));
  EXPECT_EQ(LoadStreamResource("testblob")->Size(), 300);  // names ignore letter case, as on Windows
}

}  // namespace
}  // namespace vn

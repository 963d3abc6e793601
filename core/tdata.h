#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/point_link.h"
#include "core/rc_string.h"

namespace vn {

class TMemStream;

// Type tags of TData::DataType (bits 0..6). Only these have behaviour; the
// other named kinds are carried unchanged and convert like unknown kinds.
inline constexpr std::uint8_t TagNull = 0;
inline constexpr std::uint8_t TagInteger = 1;
inline constexpr std::uint8_t TagString = 2;
inline constexpr std::uint8_t TagReal = 7;
inline constexpr std::uint8_t TagStream = 10;
inline constexpr std::uint8_t TagBreak = 22;

// Bit 7 of DataType: the receiver handed the value back to the dispatch loop
// together with the link in DeferredPoint.
inline constexpr std::uint8_t DeferredFlag = 0x80;

inline constexpr std::array<std::string_view, 23> DataTypeNames = {
    "NULL",  "Integer", "String", "Data",    "Combo",  "StrList", "Icon",   "Real",
    "Color", "Script",  "Stream", "Bitmap",  "Wave",   "Array",   "ComboEx", "Font",
    "Matrix", "Jpeg",   "Menu",   "Code",    "Object", "Type",    "Break"};

// The one value type that travels between components. Copying shares the
// string and the chain; a chain's nodes belong to whoever built it with
// CopyData and are released with FreeData.
struct TData {
  std::uint8_t DataType = TagNull;
  std::int32_t IData = 0;
  RcString SData;
  double RData = 0.0;
  const TPointLink* DeferredPoint = nullptr;
  TData* Next = nullptr;  // not owning: see CopyData / FreeData
  // A 32-bit IData cannot hold a pointer on 64-bit builds, so the stream
  // reference of a Stream value is kept here; IData keeps its low bits only.
  TMemStream* StreamRef = nullptr;
};

// Process-wide NULL value for callers that must pass a record but have none.
extern const TData EmptyData;

void dtNull(TData& data);
void dtInteger(TData& data, std::int32_t value);
void dtString(TData& data, const RcString& value);
void dtStream(TData& data, TMemStream* stream);
TData IntegerData(std::int32_t value);
TData StringData(const RcString& value);

inline bool IsInteger(const TData& data) { return data.DataType == TagInteger; }
inline std::uint8_t DataTypeOf(const TData& data) { return data.DataType; }

// Deep copy of `source`'s chain into `dest`: every node after the head is
// newly allocated; copying stops after a NULL value or at the chain's end.
void CopyData(TData& dest, const TData& source);
// Frees every chain node behind `head`; the head itself is untouched.
void FreeData(TData& head);

// Owns a chain built with CopyData and frees it on destruction: the holder
// for components that keep a chained value between events.
class TOwnedChain {
 public:
  TOwnedChain() = default;
  TOwnedChain(const TOwnedChain&) = delete;
  TOwnedChain& operator=(const TOwnedChain&) = delete;
  ~TOwnedChain() { FreeData(head_); }

  const TData& Head() const { return head_; }
  // Copies before freeing: `source` may share nodes of the chain held here
  // (a value read from its holder and handed back to it).
  void Assign(const TData& source) {
    TData copy;
    CopyData(copy, source);
    FreeData(head_);
    head_ = copy;
  }

 private:
  TData head_;
};

}  // namespace vn

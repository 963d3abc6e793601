#include "core/dispatch.h"

#include <atomic>

#include "core/conversions.h"

namespace vn {
namespace {

std::atomic<bool> gLive{false};

// Moves `data` one value along its chain: the next node becomes the head,
// or the head becomes NULL at the chain's end. Nodes are never freed here.
void AdvanceChain(TData& data) {
  if (data.Next != nullptr) {
    TData next = *data.Next;
    data = next;
  } else {
    data.DataType = TagNull;
  }
}

void SetDeferred(TData& data, const TPointLink& link) {
  // OR rather than add: a value that arrives still flagged must stay flagged,
  // or the loop would stop and the value would reach nobody.
  data.DataType |= DeferredFlag;
  data.DeferredPoint = &link;
}

}  // namespace

void StartDispatch() { gLive.store(true, std::memory_order_release); }
void StopDispatch() { gLive.store(false, std::memory_order_release); }
bool DispatchLive() { return gLive.load(std::memory_order_acquire); }

void FireEvent(const TPointLink& link, TData& data) {
  if (!DispatchLive()) return;
  const TPointLink* next = &link;
  while (next != nullptr && next->Connected()) {
    next->Method(next->Target, data, next->Index);
    if ((data.DataType & DeferredFlag) == 0) return;
    data.DataType = static_cast<std::uint8_t>(data.DataType - DeferredFlag);
    next = data.DeferredPoint;
  }
}

void FireEventCopy(const TPointLink& link, const TData& value) {
  TData copy = value;
  FireEvent(link, copy);
}

void FireInteger(const TPointLink& link, std::int32_t value) {
  TData data;
  dtInteger(data, value);
  FireEvent(link, data);
}

void FireString(const TPointLink& link, const RcString& value) {
  TData data;
  dtString(data, value);
  FireEvent(link, data);
}

void FireNull(const TPointLink& link) {
  TData data;
  FireEvent(link, data);
}

void DeferNull(TData& data, const TPointLink& link) {
  data.DataType = TagNull;
  SetDeferred(data, link);
}

void DeferInteger(TData& data, const TPointLink& link, std::int32_t value) {
  data.DataType = TagInteger;
  data.IData = value;
  data.Next = nullptr;
  SetDeferred(data, link);
}

void DeferString(TData& data, const TPointLink& link, const RcString& value) {
  data.DataType = TagString;
  data.SData = value;
  data.Next = nullptr;
  SetDeferred(data, link);
}

void DeferData(TData& data, const TPointLink& link, const TData& value) {
  data = value;
  SetDeferred(data, link);
}

void ReadPoint(const TPointLink& link, TData& result) {
  if (!DispatchLive() || !link.Connected()) return;
  link.Method(link.Target, result, link.Index);
}

void ReadPointOrBreak(TData& data, const TPointLink& link) {
  if (link.Connected()) {
    ReadPoint(link, data);
  } else {
    data.DataType = TagBreak;
  }
}

namespace {

// The first two fallbacks shared by ReadData and ReadDataChain: a connected
// point that does not answer Break, else a non-NULL default. False when the
// caller must fall back to the incoming value.
bool ReadPointOrDefault(const TPointLink& link, const TData* fallback, bool keepChain, TData& result) {
  if (link.Connected()) {
    TData answer;
    ReadPoint(link, answer);
    if (!keepChain) answer.Next = nullptr;
    if (answer.DataType != TagBreak) {
      result = answer;
      return true;
    }
  }
  if (fallback != nullptr && fallback->DataType != TagNull) {
    result = *fallback;
    return true;
  }
  return false;
}

}  // namespace

void ReadData(TData& data, const TPointLink& link, const TData* fallback, TData& result) {
  if (ReadPointOrDefault(link, fallback, /*keepChain=*/false, result)) return;
  TData head = data;
  head.Next = nullptr;
  if (data.DataType == TagNull) data.Next = nullptr;
  AdvanceChain(data);
  result = head;
}

void ReadDataChain(TData& data, const TPointLink& link, const TData* fallback, TData& result) {
  if (ReadPointOrDefault(link, fallback, /*keepChain=*/true, result)) return;
  TData whole = data;
  dtNull(data);
  result = whole;
}

void TakeData(TData& data, TData& result) {
  ReadData(data, TPointLink{}, nullptr, result);
}

std::int32_t ReadInteger(TData& data, const TPointLink& link, std::int32_t fallback) {
  if (link.Connected()) {
    TData answer;
    ReadPoint(link, answer);
    if (answer.DataType != TagBreak) return ToInteger(answer);
  }
  if (fallback != 0 || data.DataType == TagNull) return fallback;
  const std::int32_t value = ToInteger(data);
  AdvanceChain(data);
  return value;
}

RcString ReadString(TData& data, const TPointLink& link, const RcString& fallback) {
  if (link.Connected()) {
    TData answer;
    ReadPoint(link, answer);
    if (answer.DataType != TagBreak) return ToString(answer);
  }
  if (!fallback.empty() || data.DataType == TagNull) return fallback;
  RcString value = ToString(data);
  AdvanceChain(data);
  return value;
}

std::int32_t ReadPointInteger(const TPointLink& link) {
  TData answer;
  ReadPoint(link, answer);
  return ToInteger(answer);
}

TMemStream* ReadPointStream(const TPointLink& link) {
  TData answer;
  ReadPoint(link, answer);
  return ToStream(answer);
}

}  // namespace vn

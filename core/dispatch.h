#pragma once

#include <cstdint>

#include "core/point_link.h"
#include "core/rc_string.h"
#include "core/tdata.h"

namespace vn {

// Event dispatch starts inert: firing does nothing and reading leaves the
// reader's prepared value, so components can be built and wired in peace.
// The state may be read from any thread.
void StartDispatch();
void StopDispatch();
bool DispatchLive();

// Firing: synchronous; returns when the whole chain of work is done.
void FireEvent(const TPointLink& link, TData& data);
void FireEventCopy(const TPointLink& link, const TData& value);
void FireInteger(const TPointLink& link, std::int32_t value);
void FireString(const TPointLink& link, const RcString& value);
void FireNull(const TPointLink& link);

// Deferred output: an input method leaves its output in the value it was
// given and the dispatch loop that called it fires `link` afterwards, so a
// pipeline of any length runs as iterations of one loop.
void DeferNull(TData& data, const TPointLink& link);
void DeferInteger(TData& data, const TPointLink& link, std::int32_t value);
void DeferString(TData& data, const TPointLink& link, const RcString& value);
void DeferData(TData& data, const TPointLink& link, const TData& value);

// Reading. `data` is always the input method's own incoming value, which the
// unconnected fallbacks consume one chained value at a time.
void ReadPoint(const TPointLink& link, TData& result);
void ReadPointOrBreak(TData& data, const TPointLink& link);
void ReadData(TData& data, const TPointLink& link, const TData* fallback, TData& result);
void ReadDataChain(TData& data, const TPointLink& link, const TData* fallback, TData& result);
void TakeData(TData& data, TData& result);
std::int32_t ReadInteger(TData& data, const TPointLink& link, std::int32_t fallback);
RcString ReadString(TData& data, const TPointLink& link, const RcString& fallback);
std::int32_t ReadPointInteger(const TPointLink& link);
TMemStream* ReadPointStream(const TPointLink& link);

}  // namespace vn

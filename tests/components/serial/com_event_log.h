#pragma once

// Records what a serial port component fires, from whichever thread fires it.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "components/serial/com_async.h"
#include "core/conversions.h"
#include "core/dispatch.h"
#include "core/tdata.h"

namespace vn::test {

// Entries read "Name" for a value-less event and "Name:value" otherwise (the
// value's string form, bytes as they came).
class EventLog {
 public:
  using Entries = std::vector<std::string>;

  // An input point that records under `name` and passes the value on.
  TPointLink Point(std::string name, TPointLink next = {}) {
    taps_.push_back(std::make_unique<Tap>(Tap{this, std::move(name), next}));
    return MakePoint<&Tap::doEvent>(0, taps_.back().get());
  }

  Entries Snapshot() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }

  // Waits until `done` holds for the entries so far.
  bool WaitFor(const std::function<bool(const Entries&)>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(5)) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return done(entries_); });
  }

  bool WaitForEntry(const std::string& entry,
                    std::chrono::milliseconds limit = std::chrono::seconds(5)) const {
    return WaitFor([&](const Entries& entries) { return Contains(entries, entry); }, limit);
  }

  // The entries that came after the first `skip`.
  Entries Since(std::size_t skip) const {
    std::lock_guard lock(mutex_);
    return Entries(entries_.begin() + static_cast<std::ptrdiff_t>(std::min(skip, entries_.size())),
                   entries_.end());
  }

  static bool Contains(const Entries& entries, std::string_view entry) {
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
  }

  // The bytes of all entries called `name`, joined in order.
  static std::string Joined(const Entries& entries, std::string_view name) {
    std::string bytes;
    const std::string prefix = std::string(name) + ":";
    for (const std::string& e : entries) {
      if (e.compare(0, prefix.size(), prefix) == 0) bytes.append(e, prefix.size());
    }
    return bytes;
  }

 private:
  struct Tap {
    EventLog* log;
    std::string name;
    TPointLink next;

    void doEvent(TData& data, std::uint16_t /*index*/) {
      std::string entry = name;
      if (data.DataType != TagNull) entry += ":" + ToString(data).str();
      {
        std::lock_guard lock(log->mutex_);
        log->entries_.push_back(std::move(entry));
      }
      log->changed_.notify_all();
      FireEvent(next, data);
    }
  };

  std::vector<std::unique_ptr<Tap>> taps_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  Entries entries_;
};

// An onRead receiver that takes its time, as a chain that updates windows
// does; it records first, so the test knows when the reader is inside.
struct SlowReceiver {
  TPointLink record;
  void doEvent(TData& data, std::uint16_t /*index*/) {
    FireEvent(record, data);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  TPointLink Link() { return MakePoint<&SlowReceiver::doEvent>(0, this); }
};

// The component's input points, driven as a scheme drives them.
inline void Open(TVNComAsync& com, TData value = {}) { com.doOpen(value, 0); }
inline void Close(TVNComAsync& com) {
  TData none;
  com.doClose(none, 0);
}
inline void Write(TVNComAsync& com, std::string_view bytes) {
  TData value = StringData(RcString(bytes));
  com.doWrite(value, 0);
}
inline void Read(TVNComAsync& com, std::int32_t count) {
  TData value = IntegerData(count);
  com.doRead(value, 0);
}
inline void Enum(TVNComAsync& com) {
  TData none;
  com.doEnum(none, 0);
}

// Every event of the component into the log.
inline void WireAll(TVNComAsync& com, EventLog& log) {
  com.onWrite = log.Point("Write");
  com.onRead = log.Point("Read");
  com.onEnum = log.Point("Enum");
  com.onRxChar = log.Point("RxChar");
  com.onRing = log.Point("Ring");
  com.onCTS = log.Point("CTS");
  com.onDSR = log.Point("DSR");
  com.onRLSD = log.Point("RLSD");
  com.onRxFlag = log.Point("RxFlag");
  com.onBreak = log.Point("Break");
  com.onRx80Full = log.Point("Rx80Full");
  com.onTxEmpty = log.Point("TxEmpty");
  com.onError = log.Point("Error");
  com.onBeforeOpen = log.Point("BeforeOpen");
  com.onOpen = log.Point("Open");
  com.onBeforeClose = log.Point("BeforeClose");
  com.onClose = log.Point("Close");
}

// The main window's wiring: each batch of received bytes is read at once.
inline void WireReadBack(TVNComAsync& com, EventLog& log) {
  com.onRxChar = log.Point("RxChar", MakePoint<&TVNComAsync::doRead>(0, &com));
}

// The property values the main window sets.
inline void UseMainSchemeSettings(TVNComAsync& com) {
  com.Baud = 38462;
  com.Parity = 0;
  com.DataBits = 3;
  com.StopBits = 0;
  com.AbortOnError = true;
  com.XoffChar = 19;
  com.XonChar = 17;
  com.InQueue = 4096;
  com.OutQueue = 4096;
  com.EvRxChar = true;
  com.ReadInterval = 0xFFFFFFFF;
  com.WriteTotalConstant = 1000;
  com.WriteTotalMultiplier = 100;
  com.EnumCheck = true;
}

inline const EventLog::Entries kCloseEvents = {"BeforeClose", "CTS:0", "DSR:0", "RLSD:0", "Close"};

}  // namespace vn::test

#pragma once

// Owners of the Windows handles that the serial port uses, each closing its
// handle the way its kind needs and knowing which value means "none" (files
// use INVALID_HANDLE_VALUE, events use NULL).

#include <utility>

#include "core/win32_api.h"

namespace vn::serial {

template <typename Kind>
class UniqueHandle {
 public:
  using Value = typename Kind::Value;

  UniqueHandle() = default;
  explicit UniqueHandle(Value value) : value_(value) {}
  UniqueHandle(UniqueHandle&& other) noexcept : value_(std::exchange(other.value_, Kind::None())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      value_ = std::exchange(other.value_, Kind::None());
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  Value Get() const { return value_; }
  bool Valid() const { return value_ != Kind::None(); }
  void Reset() {
    if (Valid()) Kind::Close(value_);
    value_ = Kind::None();
  }

 private:
  Value value_ = Kind::None();
};

struct FileHandleKind {
  using Value = HANDLE;
  static HANDLE None() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { ::CloseHandle(handle); }
};

struct EventHandleKind {
  using Value = HANDLE;
  static HANDLE None() { return nullptr; }
  static void Close(HANDLE handle) { ::CloseHandle(handle); }
};

struct RegistryKeyKind {
  using Value = HKEY;
  static HKEY None() { return nullptr; }
  static void Close(HKEY key) { ::RegCloseKey(key); }
};

using FileHandle = UniqueHandle<FileHandleKind>;
using EventHandle = UniqueHandle<EventHandleKind>;
using RegistryKey = UniqueHandle<RegistryKeyKind>;

}  // namespace vn::serial

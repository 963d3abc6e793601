#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/host_window.h"
#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

class TVNMultiElementEx;
class TVNEditMultiEx;

// Base of the generated nested-scheme classes. A derived class owns its
// components, the inner edge among them, and destroys them newest first.
class TClassMultiBase {
 public:
  TClassMultiBase(void* ownerScheme, HostWindow* parentWindow);
  TClassMultiBase(const TClassMultiBase&) = delete;
  TClassMultiBase& operator=(const TClassMultiBase&) = delete;
  virtual ~TClassMultiBase();

  TVNEditMultiEx* Edge = nullptr;  // one of the derived class's own components
};

// Builds one instance of a nested scheme for `container`.
using TCreator = std::unique_ptr<TClassMultiBase> (*)(TVNMultiElementEx& container,
                                                      HostWindow* parentWindow,
                                                      void* ownerScheme);

// The nested scheme's side of the boundary; its points mirror the container's.
class TVNEditMultiEx {
 public:
  TVNMultiElementEx* Container = nullptr;
  TClassMultiBase* Scheme = nullptr;  // the nested scheme that owns this edge
  std::vector<TPointLink> onWork;     // one per container input index
  std::vector<TPointLink> Value;      // one per container var index

  void doEvent(TData& data, std::uint16_t index);
  void varData(TData& data, std::uint16_t index);
};

// The outer scheme's side: a component that holds nested-scheme instances
// and forwards calls across the boundary unchanged, in both directions.
class TVNMultiElementEx {
 public:
  struct Instance {
    TVNEditMultiEx* Edge;
    std::unique_ptr<TClassMultiBase> Scheme;
  };

  explicit TVNMultiElementEx(HostWindow* parentWindow);
  TVNMultiElementEx(const TVNMultiElementEx&) = delete;
  TVNMultiElementEx& operator=(const TVNMultiElementEx&) = delete;
  ~TVNMultiElementEx();

  // Called once by the owner scheme after all its connections are made.
  void InitInstances(TCreator creator);

  void doWork(TData& data, std::uint16_t index);
  void varValue(TData& data, std::uint16_t index);

  // Deletes the listed instance whose number `value` gives, first firing its
  // onWork[workIndex] when that exists. Refused while that instance is firing
  // outward (it would destroy the code that is running).
  void DeleteInstance(const TData& value, std::uint16_t workIndex);

  TVNEditMultiEx* Current = nullptr;  // the standing instance, Mode 0 only
  TCreator Creator = nullptr;
  std::vector<Instance> Instances;     // oldest first
  HostWindow* ParentWindow = nullptr;
  std::uint8_t Mode = 0;               // 0: one standing instance; else per call
  std::vector<TPointLink> onEvent;
  std::vector<TPointLink> Data;
  void* OwnerScheme = nullptr;

 private:
  friend class TVNEditMultiEx;
  std::unique_ptr<TClassMultiBase> CreateInstance();
};

inline constexpr const char* SelfDestructionMessage = "Self destruction is not allowed !!!";

}  // namespace vn

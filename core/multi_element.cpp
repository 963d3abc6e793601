#include "core/multi_element.h"

#include <algorithm>

#include "core/conversions.h"
#include "core/debug_message.h"
#include "core/dispatch.h"
#include "core/startup.h"

namespace vn {
namespace {

// Edges firing outward at this moment, innermost first. The frames live on
// the firing thread's stack, so the chain is kept per thread: chains running
// on two threads cannot unlink each other's frames.
struct ChainFrame {
  const TVNEditMultiEx* edge;
  const ChainFrame* next;
};
thread_local const ChainFrame* tActiveChain = nullptr;

bool IsFiringOutward(const TVNEditMultiEx* edge) {
  for (const ChainFrame* frame = tActiveChain; frame != nullptr; frame = frame->next) {
    if (frame->edge == edge) return true;
  }
  return false;
}

}  // namespace

TClassMultiBase::TClassMultiBase(void* /*ownerScheme*/, HostWindow* /*parentWindow*/) {}
TClassMultiBase::~TClassMultiBase() = default;

void TVNEditMultiEx::doEvent(TData& data, std::uint16_t index) {
  if (Container == nullptr || index >= Container->onEvent.size()) return;
  const ChainFrame frame{this, tActiveChain};
  tActiveChain = &frame;
  FireEvent(Container->onEvent[index], data);
  tActiveChain = frame.next;
}

void TVNEditMultiEx::varData(TData& data, std::uint16_t index) {
  if (Container == nullptr || index >= Container->Data.size()) {
    data.DataType = TagBreak;
    return;
  }
  ReadPointOrBreak(data, Container->Data[index]);
}

TVNMultiElementEx::TVNMultiElementEx(HostWindow* parentWindow)
    : ParentWindow(parentWindow) {}

TVNMultiElementEx::~TVNMultiElementEx() {
  for (std::size_t i = Instances.size(); i-- > 0;) {
    DeleteInstance(IntegerData(static_cast<std::int32_t>(i)), 0xFFFF);
  }
}

void TVNMultiElementEx::InitInstances(TCreator creator) {
  Creator = creator;
  if (Mode != 0) return;
  std::unique_ptr<TClassMultiBase> scheme = CreateInstance();
  if (!scheme) return;
  Current = scheme->Edge;
  Instances.push_back({scheme->Edge, std::move(scheme)});
}

std::unique_ptr<TClassMultiBase> TVNMultiElementEx::CreateInstance() {
  if (Creator == nullptr) return nullptr;
  // Components of a scheme built after start-up register their start-up
  // steps instead of running them half-built; they run once it is complete.
  const bool wasStarted = Started();
  SetStarted(false);
  std::unique_ptr<TClassMultiBase> scheme = Creator(*this, ParentWindow, OwnerScheme);
  if (wasStarted) RunStartup();
  if (scheme && scheme->Edge == nullptr) scheme.reset();
  return scheme;
}

void TVNMultiElementEx::doWork(TData& data, std::uint16_t index) {
  if (Current != nullptr) {
    if (index < Current->onWork.size()) FireEvent(Current->onWork[index], data);
    return;
  }
  std::unique_ptr<TClassMultiBase> temporary = CreateInstance();
  if (temporary && index < temporary->Edge->onWork.size()) {
    FireEvent(temporary->Edge->onWork[index], data);
  }
}

void TVNMultiElementEx::varValue(TData& data, std::uint16_t index) {
  std::unique_ptr<TClassMultiBase> temporary;
  TVNEditMultiEx* edge = Current;
  if (edge == nullptr) {
    temporary = CreateInstance();
    if (temporary) edge = temporary->Edge;
  }
  if (edge == nullptr || index >= edge->Value.size()) {
    data.DataType = TagBreak;
    return;
  }
  ReadPointOrBreak(data, edge->Value[index]);
}

void TVNMultiElementEx::DeleteInstance(const TData& value, std::uint16_t workIndex) {
  const std::int32_t number = ToInteger(value);
  if (number < 0 || static_cast<std::size_t>(number) >= Instances.size()) return;
  TVNEditMultiEx* edge = Instances[static_cast<std::size_t>(number)].Edge;
  if (IsFiringOutward(edge)) {
    DebugMessage(SelfDestructionMessage);
    return;
  }
  if (workIndex < edge->onWork.size()) FireEventCopy(edge->onWork[workIndex], value);

  // The farewell event may have changed the list; find the entry again.
  auto entry = std::find_if(Instances.begin(), Instances.end(),
                            [edge](const Instance& i) { return i.Edge == edge; });
  if (entry == Instances.end()) return;
  if (Current == edge) Current = nullptr;
  std::unique_ptr<TClassMultiBase> doomed = std::move(entry->Scheme);
  Instances.erase(entry);
  doomed.reset();
}

}  // namespace vn

#include "app/probe_scheme.h"

#include "core/cp1251_literals.h"
#include "core/point_link.h"
#include "core/rc_string.h"

namespace vn {
TClassMultiElementEx_2569CE0::TClassMultiElementEx_2569CE0(TVNMultiElementEx& container,
                                                           void* ownerScheme,
                                                           HostWindow* parentWindow)
    : TClassMultiBase(ownerScheme, parentWindow), OwnerScheme(ownerScheme) {
  EdgeComponent = std::make_unique<TVNEditMultiEx>();
  EdgeComponent->onWork.resize(3);
  EdgeComponent->Value.resize(1);

  DeviceInfoFormat = std::make_unique<TVNFormatStr>();
  DeviceInfoFormat->SetDataCount(2);
  DeviceInfoFormat->Mask = RcString("Устройство: %1   Текущая версия ПО: %2");

  NotFoundData = std::make_unique<TVNDoData>();
  NotFoundData->Data = StringData(RcString("На этом порту устройств не найдено."));

  NameMask = std::make_unique<TVNStrMask>();
  NameMask->Mask = RcString("BRANTELMOOR");
  NameMask->IgnoreCase = 1;

  ReplySplit = std::make_unique<TVNMultiStrPart>();
  ReplySplit->Char = RcString(" ");
  ReplySplit->Skip = 0;
  ReplySplit->SetCount(3);

  StartHub = MakeHub(1, 2);

  OpenCase = std::make_unique<TVNCase>();
  OpenCase->Value = IntegerData(0);  // Result stays NULL: a failed open has no value to report

  NotFoundHub = MakeHub(4, 2);

  VersData = std::make_unique<TVNDoData>();
  VersData->Data = StringData(RcString("VERS"));

  StatusHub = MakeHub(2, 1);
  FoundHub = MakeHub(1, 3);

  ModeCounter = std::make_unique<TVNCounter>();
  ModeCounter->Min = 0;
  ModeCounter->Max = 1;
  ModeCounter->Step = 1;
  ModeCounter->Direction = 0;
  ModeCounter->SetDefault(0);

  OpenedHub = MakeHub(2, 1);

  TVNEditMultiEx* const edge = EdgeComponent.get();
  Edge = edge;
  edge->Scheme = this;
  edge->Container = &container;

  edge->onWork[0] = MakePoint<&TVNCase::doCase>(0, OpenCase.get());                      // 1
  edge->onWork[1] = MakePoint<&TVNHub::doEvent>(0, StartHub.get());                      // 2
  edge->onWork[2] = MakePoint<&TVNMultiStrPart::doSplit>(0, ReplySplit.get());           // 3
  edge->Value[0] = MakePoint<&TVNCounter::varCount>(0, ModeCounter.get());               // 4
  DeviceInfoFormat->onFString = MakePoint<&TVNHub::doEvent>(0, StatusHub.get());         // 5
  DeviceInfoFormat->Str[0] = MakePoint<&TVNMultiStrPart::Part>(1, ReplySplit.get());     // 6
  DeviceInfoFormat->Str[1] = MakePoint<&TVNMultiStrPart::Part>(2, ReplySplit.get());     // 7
  NotFoundData->onEventData = MakePoint<&TVNHub::doEvent>(0, StatusHub.get());           // 8
  NameMask->onFalse = MakePoint<&TVNHub::doEvent>(0, NotFoundHub.get());                 // 9
  NameMask->onTrue = MakePoint<&TVNHub::doEvent>(0, FoundHub.get());                     // 10
  NameMask->Str = MakePoint<&TVNMultiStrPart::Part>(0, ReplySplit.get());                // 11
  ReplySplit->onSplit = MakePoint<&TVNStrMask::doCompare>(0, NameMask.get());            // 12
  ReplySplit->onNotFound = MakePoint<&TVNHub::doEvent>(0, NotFoundHub.get());            // 13
  StartHub->onEvent[1] = MakePoint<&TVNEditMultiEx::doEvent>(2, edge);                   // 14
  OpenCase->onNextCase = MakePoint<&TVNHub::doEvent>(0, OpenedHub.get());                // 15
  OpenCase->onMatch = MakePoint<&TVNHub::doEvent>(0, NotFoundHub.get());                 // 16
  NotFoundHub->onEvent[0] = MakePoint<&TVNEditMultiEx::doEvent>(3, edge);                // 17
  NotFoundHub->onEvent[1] = MakePoint<&TVNDoData::doData>(0, NotFoundData.get());        // 18
  VersData->onEventData = MakePoint<&TVNEditMultiEx::doEvent>(0, edge);                  // 19
  StatusHub->onEvent[0] = MakePoint<&TVNEditMultiEx::doEvent>(1, edge);                  // 20
  FoundHub->onEvent[0] = MakePoint<&TVNFormatStr::doString>(0, DeviceInfoFormat.get());  // 21
  FoundHub->onEvent[1] = MakePoint<&TVNCounter::doNext>(0, ModeCounter.get());           // 22
  FoundHub->onEvent[2] = MakePoint<&TVNEditMultiEx::doEvent>(4, edge);                   // 23
  OpenedHub->onEvent[0] = MakePoint<&TVNDoData::doData>(0, VersData.get());              // 24
}

TClassMultiElementEx_2569CE0::~TClassMultiElementEx_2569CE0() {
  OpenedHub.reset();
  ModeCounter.reset();
  FoundHub.reset();
  StatusHub.reset();
  VersData.reset();
  NotFoundHub.reset();
  OpenCase.reset();
  StartHub.reset();
  ReplySplit.reset();
  NameMask.reset();
  NotFoundData.reset();
  DeviceInfoFormat.reset();
  Edge = nullptr;
  EdgeComponent.reset();
}

std::unique_ptr<TClassMultiBase> CreateProbeScheme(TVNMultiElementEx& container,
                                                   HostWindow* parentWindow,
                                                   void* ownerScheme) {
  return std::make_unique<TClassMultiElementEx_2569CE0>(container, ownerScheme, parentWindow);
}

}  // namespace vn

#include "app/upload_scheme.h"

#include "components/data/stream_resource.h"
#include "core/point_link.h"
#include "core/rc_string.h"
#include "core/scheme_lock.h"

namespace vn {
namespace {

std::unique_ptr<TVNCounter> MakeUpCounter(std::int32_t max) {
  auto counter = std::make_unique<TVNCounter>();
  counter->Min = 0;
  counter->Max = max;
  counter->Step = 1;
  counter->Direction = 0;
  counter->SetDefault(0);
  return counter;
}

std::unique_ptr<TVNStrMask> MakeAckMask(const char* initialMask) {
  auto mask = std::make_unique<TVNStrMask>();
  mask->Mask = RcString(initialMask);
  mask->IgnoreCase = 1;
  return mask;
}

}  // namespace

TClassMultiElementEx_256A260::TClassMultiElementEx_256A260(TVNMultiElementEx& container,
                                                           void* ownerScheme,
                                                           HostWindow* parentWindow,
                                                           std::unique_ptr<TMemStream> image)
    : TClassMultiBase(ownerScheme, parentWindow), OwnerScheme(ownerScheme) {
  EdgeComponent = std::make_unique<TVNEditMultiEx>();
  EdgeComponent->onWork.resize(2);

  ByteToChar = std::make_unique<TVNConvertor>();
  ByteToChar->Mode = TVNConvertor::ModeChar;
  ByteToChar->Digits = 1;

  ByteReader = std::make_unique<TVNDataToFile>(TElementKind::Byte);

  BlockCounter = MakeUpCounter(507);
  BlockHub = MakeHub(2, 1);
  BlockAckMask = MakeAckMask("SZ");
  FinalAckMask = MakeAckMask("FZ");
  ReplyHub = MakeHub(1, 3);

  Firmware = std::make_unique<TVNMemoryStream>();
  Firmware->SetStream(std::move(image));

  ByteLoop = std::make_unique<TVNFor>();
  ByteLoop->Start = 0;
  ByteLoop->End = 255;
  ByteLoop->Step = 1;
  ByteLoop->IncludeEnd = 1;
  ByteLoop->UseInput = 0;
  ByteLoop->BreakEvent = 0;

  NextBlockHub = MakeHub(1, 2);
  TxHub = MakeHub(2, 1);
  FinalHub = MakeHub(1, 3);

  LaunchData = std::make_unique<TVNDoData>();
  LaunchData->Data = StringData(RcString("PUSK"));

  Crc = std::make_unique<TVNCRC16_32>();
  Crc->HexInput = 1;
  Crc->Type = 0;
  Crc->Poly = RcString("$A001");
  Crc->Init = RcString("$FFFF");
  Crc->SwapBytes = false;

  ByteToHex = std::make_unique<TVNConvertor>();
  ByteToHex->Mode = TVNConvertor::ModeHex;
  ByteToHex->Digits = 1;

  ByteHub = MakeHub(1, 2);
  CrcHub = MakeHub(1, 3);

  ReplyToHex = std::make_unique<TVNStream2Hex>();

  FinalMaskCat = std::make_unique<TVNStrCat>();
  FinalMaskCat->Str2 = RcString("465A");  // "FZ" as hexadecimal text

  FailHub = MakeHub(2, 1);

  Watchdog = std::make_unique<TVNMMTimer>();
  Watchdog->SetResolution(1);
  Watchdog->SetInterval(1000);
  Watchdog->SetAutoStart(false);
  Watchdog->SetCount(0);

  SilenceCounter = MakeUpCounter(100);
  StartHub = MakeHub(1, 2);

  TimeoutCheck = std::make_unique<TVNIf_else>();
  TimeoutCheck->Compare = 0;  // equal
  TimeoutCheck->Op2 = IntegerData(3);

  TVNEditMultiEx* const edge = EdgeComponent.get();
  Edge = edge;
  edge->Scheme = this;
  edge->Container = &container;

  edge->onWork[0] = MakePoint<&TVNHub::doEvent>(0, ReplyHub.get());                    // 1
  edge->onWork[1] = MakePoint<&TVNHub::doEvent>(0, StartHub.get());                    // 2
  ByteToChar->onResult = MakePoint<&TVNHub::doEvent>(0, TxHub.get());                  // 3
  ByteReader->onGet = MakePoint<&TVNHub::doEvent>(0, ByteHub.get());                   // 4
  ByteReader->Stream = MakePoint<&TVNMemoryStream::Stream>(0, Firmware.get());         // 5
  BlockCounter->onNext = MakePoint<&TVNEditMultiEx::doEvent>(0, edge);                 // 6
  BlockHub->onEvent[0] = MakePoint<&TVNFor::doFor>(0, ByteLoop.get());                 // 7
  BlockAckMask->onFalse = MakePoint<&TVNHub::doEvent>(0, FailHub.get());               // 8
  BlockAckMask->onTrue = MakePoint<&TVNHub::doEvent>(0, NextBlockHub.get());           // 9
  FinalAckMask->onFalse = MakePoint<&TVNStrMask::doCompare>(0, BlockAckMask.get());    // 10
  FinalAckMask->onTrue = MakePoint<&TVNHub::doEvent>(0, FinalHub.get());               // 11
  ReplyHub->onEvent[0] = MakePoint<&TVNStream2Hex::doConvert>(0, ReplyToHex.get());    // 12
  ReplyHub->onEvent[1] = MakePoint<&TVNEditMultiEx::doEvent>(5, edge);                 // 13
  ReplyHub->onEvent[2] = MakePoint<&TVNCounter::doReset>(0, SilenceCounter.get());     // 14
  ByteLoop->onEvent = MakePoint<&TVNDataToFile::doGet>(0, ByteReader.get());           // 15
  NextBlockHub->onEvent[0] = MakePoint<&TVNCounter::doNext>(0, BlockCounter.get());    // 16
  NextBlockHub->onEvent[1] = MakePoint<&TVNHub::doEvent>(0, BlockHub.get());           // 17
  TxHub->onEvent[0] = MakePoint<&TVNEditMultiEx::doEvent>(1, edge);                    // 18
  FinalHub->onEvent[0] = MakePoint<&TVNDoData::doData>(0, LaunchData.get());           // 19
  FinalHub->onEvent[1] = MakePoint<&TVNEditMultiEx::doEvent>(2, edge);                 // 20
  FinalHub->onEvent[2] = MakePoint<&TVNMMTimer::doStop>(0, Watchdog.get());            // 21
  LaunchData->onEventData = MakePoint<&TVNHub::doEvent>(0, TxHub.get());               // 22
  Crc->onCRC = MakePoint<&TVNHub::doEvent>(0, CrcHub.get());                           // 23
  Crc->InitPoint = MakePoint<&TVNEditMultiEx::varData>(0, edge);                       // 24
  ByteToHex->onResult = MakePoint<&TVNCRC16_32::doCRC>(0, Crc.get());                  // 25
  ByteHub->onEvent[0] = MakePoint<&TVNConvertor::doConvert>(0, ByteToChar.get());      // 26
  ByteHub->onEvent[1] = MakePoint<&TVNConvertor::doConvert>(0, ByteToHex.get());       // 27
  CrcHub->onEvent[0] = MakePoint<&TVNEditMultiEx::doEvent>(4, edge);                   // 28
  CrcHub->onEvent[1] = MakePoint<&TVNStrCat::doStrCat>(0, FinalMaskCat.get());         // 29
  CrcHub->onEvent[2] = MakePoint<&TVNStrMask::doMask>(0, BlockAckMask.get());          // 30
  ReplyToHex->onResult = MakePoint<&TVNStrMask::doCompare>(0, FinalAckMask.get());     // 31
  FinalMaskCat->onStrCat = MakePoint<&TVNStrMask::doMask>(0, FinalAckMask.get());      // 32
  FinalMaskCat->Str1Point = MakePoint<&TVNEditMultiEx::varData>(0, edge);              // 33
  FailHub->onEvent[0] = MakePoint<&TVNEditMultiEx::doEvent>(3, edge);                  // 34
  Watchdog->onTimer = MakePoint<&TVNCounter::doNext>(0, SilenceCounter.get());         // 35
  SilenceCounter->onNext = MakePoint<&TVNIf_else::doCompare>(0, TimeoutCheck.get());   // 36
  StartHub->onEvent[0] = MakePoint<&TVNHub::doEvent>(0, BlockHub.get());               // 37
  StartHub->onEvent[1] = MakePoint<&TVNMMTimer::doStart>(0, Watchdog.get());           // 38
  TimeoutCheck->onTrue = MakePoint<&TVNHub::doEvent>(0, FailHub.get());                // 39
  TimeoutCheck->Op1Point = MakePoint<&TVNCounter::varCount>(0, SilenceCounter.get());  // 40
}

// The watchdog's tick runs on the timer thread through SilenceCounter and
// TimeoutCheck, which go before the watchdog itself. Holding the scheme lock
// keeps a tick out until the watchdog is gone (it then gives up waiting).
TClassMultiElementEx_256A260::~TClassMultiElementEx_256A260() {
  SchemeChain chain;
  TimeoutCheck.reset();
  StartHub.reset();
  SilenceCounter.reset();
  Watchdog.reset();
  FailHub.reset();
  FinalMaskCat.reset();
  ReplyToHex.reset();
  CrcHub.reset();
  ByteHub.reset();
  ByteToHex.reset();
  Crc.reset();
  LaunchData.reset();
  FinalHub.reset();
  TxHub.reset();
  NextBlockHub.reset();
  ByteLoop.reset();
  Firmware.reset();
  ReplyHub.reset();
  FinalAckMask.reset();
  BlockAckMask.reset();
  BlockHub.reset();
  BlockCounter.reset();
  ByteReader.reset();
  ByteToChar.reset();
  Edge = nullptr;
  EdgeComponent.reset();
}

std::unique_ptr<TClassMultiBase> CreateUploadScheme(TVNMultiElementEx& container,
                                                    HostWindow* parentWindow,
                                                    void* ownerScheme) {
  return std::make_unique<TClassMultiElementEx_256A260>(container, ownerScheme, parentWindow,
                                                        LoadStreamResource("STREAM0"));
}

}  // namespace vn

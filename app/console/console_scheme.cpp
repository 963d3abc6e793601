#include "app/console/console_scheme.h"

#include <span>

#include "app/probe_scheme.h"
#include "app/upload_scheme.h"
#include "core/cp1251_literals.h"
#include "core/point_link.h"
#include "core/rc_string.h"

namespace vn {
TClassConsoleFlasher::TClassConsoleFlasher(const std::string* image) : image_(image) {
  Sink = std::make_unique<TVNConsoleSink>();

  SendHub = MakeHub(2, 2);

  Probe = std::make_unique<TVNMultiElementEx>(nullptr);
  Probe->Mode = 0;
  Probe->OwnerScheme = this;
  Probe->onEvent.resize(5);

  Upload = std::make_unique<TVNMultiElementEx>(nullptr);
  Upload->Mode = 0;
  Upload->OwnerScheme = this;
  Upload->onEvent.resize(6);
  Upload->Data.resize(1);

  RxRouter = std::make_unique<TVNCommutator>();
  RxRouter->SetOutCount(2);

  RxHub = MakeHub(1, 2);

  // The device's line, as the window program sets it.
  SerialPort = std::make_unique<TVNComAsync>();
  SerialPort->Baud = 38462;
  SerialPort->Parity = 0;
  SerialPort->DataBits = 3;
  SerialPort->StopBits = 0;
  SerialPort->AbortOnError = true;
  SerialPort->XoffChar = 19;
  SerialPort->XonChar = 17;
  SerialPort->InQueue = 4096;
  SerialPort->OutQueue = 4096;
  SerialPort->RTS = 0;
  SerialPort->DTR = 0;
  SerialPort->EvRxChar = true;
  SerialPort->ReadInterval = 0xFFFFFFFF;
  SerialPort->ReadTotalConstant = 0;
  SerialPort->ReadTotalMultiplier = 0;
  SerialPort->WriteTotalConstant = 1000;
  SerialPort->WriteTotalMultiplier = 100;
  SerialPort->EnumCheck = true;
  // The close discards what is still queued for the line: "PUSK", written
  // last, must be out first, or the device never starts its new firmware.
  SerialPort->FlushOnClose = true;

  OpenHub = MakeHub(1, 2);
  StartHub = MakeHub(1, 1);
  CloseHub = MakeHub(1, 1);

  // The running CRC between two bytes of the upload; the window program
  // keeps it in a hidden field that starts at "FFFF".
  CrcStore = std::make_unique<TVNEventFromData>();
  TData initialCrc = StringData(RcString("FFFF"));
  CrcStore->doData(initialCrc, 0);

  PortNameStore = std::make_unique<TVNEventFromData>();
  PortSelectHub = MakeHub(1, 3);

  SendHub->onEvent[0] = MakePoint<&TVNConsoleSink::doSent>(0, Sink.get());
  SendHub->onEvent[1] = MakePoint<&TVNComAsync::doWrite>(0, SerialPort.get());
  Probe->onEvent[0] = MakePoint<&TVNHub::doEvent>(0, SendHub.get());
  // Probe->onEvent[1], the status line, stays unconnected: its Russian
  // texts are the window's, the console words its own messages.
  Probe->onEvent[2] = MakePoint<&TVNComAsync::doOpen>(0, SerialPort.get());
  Probe->onEvent[3] = MakePoint<&TVNConsoleSink::doNotFound>(0, Sink.get());
  Probe->onEvent[4] = MakePoint<&TVNConsoleSink::doFound>(0, Sink.get());
  Upload->onEvent[0] = MakePoint<&TVNConsoleSink::doProgress>(0, Sink.get());
  Upload->onEvent[1] = MakePoint<&TVNHub::doEvent>(0, SendHub.get());
  Upload->onEvent[2] = MakePoint<&TVNConsoleSink::doSuccess>(0, Sink.get());
  Upload->onEvent[3] = MakePoint<&TVNConsoleSink::doFailure>(0, Sink.get());
  Upload->onEvent[4] = MakePoint<&TVNEventFromData::doData>(0, CrcStore.get());
  Upload->onEvent[5] = MakePoint<&TVNConsoleSink::doReply>(0, Sink.get());
  Upload->Data[0] = MakePoint<&TVNEventFromData::varData>(0, CrcStore.get());
  RxRouter->OutIndex = MakePoint<&TVNMultiElementEx::varValue>(0, Probe.get());
  RxRouter->onEvent[0] = MakePoint<&TVNMultiElementEx::doWork>(2, Probe.get());
  RxRouter->onEvent[1] = MakePoint<&TVNMultiElementEx::doWork>(0, Upload.get());
  RxHub->onEvent[0] = MakePoint<&TVNConsoleSink::doReceived>(0, Sink.get());
  RxHub->onEvent[1] = MakePoint<&TVNCommutator::doWork>(0, RxRouter.get());
  SerialPort->onRead = MakePoint<&TVNHub::doEvent>(0, RxHub.get());
  SerialPort->PortPoint = MakePoint<&TVNEventFromData::varData>(0, PortNameStore.get());
  SerialPort->onRxChar = MakePoint<&TVNComAsync::doRead>(0, SerialPort.get());
  SerialPort->onOpen = MakePoint<&TVNHub::doEvent>(0, OpenHub.get());
  OpenHub->onEvent[0] = MakePoint<&TVNConsoleSink::doOpened>(0, Sink.get());
  OpenHub->onEvent[1] = MakePoint<&TVNMultiElementEx::doWork>(0, Probe.get());
  StartHub->onEvent[0] = MakePoint<&TVNMultiElementEx::doWork>(1, Upload.get());
  CloseHub->onEvent[0] = MakePoint<&TVNComAsync::doClose>(0, SerialPort.get());
  PortSelectHub->onEvent[0] = MakePoint<&TVNHub::doEvent>(0, CloseHub.get());
  PortSelectHub->onEvent[1] = MakePoint<&TVNEventFromData::doData>(0, PortNameStore.get());
  PortSelectHub->onEvent[2] = MakePoint<&TVNMultiElementEx::doWork>(1, Probe.get());

  Probe->InitInstances(&CreateProbeScheme);
  Upload->InitInstances(&CreateUpload);
}

std::unique_ptr<TClassMultiBase> TClassConsoleFlasher::CreateUpload(TVNMultiElementEx& container,
                                                                    HostWindow* parentWindow, void* ownerScheme) {
  // The container hands back the owner it was given: this scheme.
  auto& owner = *static_cast<TClassConsoleFlasher*>(ownerScheme);
  if (owner.image_ == nullptr) return CreateUploadScheme(container, parentWindow, ownerScheme);
  auto stream = std::make_unique<TMemStream>();
  stream->Write(std::span(reinterpret_cast<const std::uint8_t*>(owner.image_->data()), owner.image_->size()));
  stream->Seek(0, TSeekOrigin::Begin);
  return std::make_unique<TClassMultiElementEx_256A260>(container, ownerScheme, parentWindow, std::move(stream));
}

TClassConsoleFlasher::~TClassConsoleFlasher() {
  // The port goes first: its reader stops before anything it feeds is gone.
  SerialPort.reset();
  PortSelectHub.reset();
  PortNameStore.reset();
  CrcStore.reset();
  CloseHub.reset();
  StartHub.reset();
  OpenHub.reset();
  RxHub.reset();
  RxRouter.reset();
  Upload.reset();
  Probe.reset();
  SendHub.reset();
  Sink.reset();
}

}  // namespace vn

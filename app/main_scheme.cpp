#include "app/main_scheme.h"

#include <string>

#include "app/probe_scheme.h"
#include "app/upload_scheme.h"
#include "components/win/font.h"
#include "core/cp1251_literals.h"
#include "core/point_link.h"
#include "core/tdata.h"
#include "toolkit/toolkit.h"

namespace vn {

TClassSimpleForm_24FF170* MainScheme = nullptr;

namespace {

// System colours in the toolkit's notation: the low byte names the colour.
constexpr toolkit::Color kButtonFace = static_cast<toolkit::Color>(0xFF00000F);
constexpr toolkit::Color kButtonShadow = static_cast<toolkit::Color>(0xFF000010);
constexpr toolkit::Color kWindow = static_cast<toolkit::Color>(0xFF000005);
constexpr toolkit::Color kInfoBackground = static_cast<toolkit::Color>(0xFF000016);

TFontRec SansSerif(std::uint8_t size, std::uint8_t style = 0) {
  return MakeFont("MS Sans Serif", size, style, /*color=*/0, /*charSet=*/1);
}

template <class T>
void Bounds(T& component, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  component.Left = left;
  component.Top = top;
  component.Width = width;
  component.Height = height;
}

std::unique_ptr<TVNDoData> Emitter(std::int32_t value) {
  auto emitter = std::make_unique<TVNDoData>();
  emitter->Data = IntegerData(value);
  return emitter;
}

std::string SuccessText() {
  return std::string(29, ' ') + "ПО успешно обновлено!" + "\r\n" + std::string(24, ' ') +
         "Сбросте настройки по умолчанию!";
}

}  // namespace

TClassSimpleForm_24FF170::TClassSimpleForm_24FF170() {
  MainScheme = this;

  // 1
  Form = std::make_unique<TVNSimpleForm>();
  Bounds(*Form, 200, 200, 616, 171);
  Form->SetCaption("Brantelmoor bootloader");
  Form->SetBorderStyle(1);
  Form->SetIcon(toolkit::LoadIconResource("QOLA"));
  Form->SetTaskbarHidden(0);
  Form->DragByClient = true;
  Form->Color = kButtonFace;
  Form->Ctl3D = 1;
  Form->Font = SansSerif(8);
  Form->Visible = true;
  Form->Enabled = true;
  Form->Init();
  toolkit::Window& parent = *Form->Control;

  // 2
  ErrorLabel = std::make_unique<TVNLabel>(parent);
  Bounds(*ErrorLabel, 0, 0, 610, 24);
  ErrorLabel->Caption = "Ошибка при передаче данных!";
  ErrorLabel->Align = 2;
  ErrorLabel->Color = kButtonFace;
  ErrorLabel->Ctl3D = 1;
  ErrorLabel->Font = SansSerif(10);
  ErrorLabel->SetAutoSize(true);
  ErrorLabel->SetAlignment(2);
  ErrorLabel->Transparent = false;
  ErrorLabel->Visible = false;
  ErrorLabel->Init();

  // 3
  CheckLinksLabel = std::make_unique<TVNLabel>(parent);
  Bounds(*CheckLinksLabel, 0, 24, 610, 24);
  CheckLinksLabel->Caption = "Проверьте все соединения и попробуйте ещё раз.";
  CheckLinksLabel->Align = 2;
  CheckLinksLabel->Color = kButtonFace;
  CheckLinksLabel->Ctl3D = 1;
  CheckLinksLabel->Font = SansSerif(10);
  CheckLinksLabel->SetAutoSize(true);
  CheckLinksLabel->SetAlignment(2);
  CheckLinksLabel->Transparent = false;
  CheckLinksLabel->Visible = false;
  CheckLinksLabel->Init();

  // 4
  WriteButton = std::make_unique<TVNButton>(parent);
  Bounds(*WriteButton, 5, 50, 85, 30);
  WriteButton->Caption = "Записать";
  WriteButton->Data = IntegerData(0);
  WriteButton->Color = kButtonFace;
  WriteButton->Ctl3D = 1;
  WriteButton->Font = SansSerif(8);
  WriteButton->Visible = true;
  WriteButton->Enabled = false;
  WriteButton->Init();

  // 5
  StatusEdit = std::make_unique<TVNEdit>(parent);
  Bounds(*StatusEdit, 110, 10, 320, 25);
  StatusEdit->Text = "Выберите порт с подключённым устройством.";
  StatusEdit->ReadOnly = true;
  StatusEdit->Color = kInfoBackground;
  StatusEdit->Ctl3D = 0;
  StatusEdit->Font = SansSerif(8);
  StatusEdit->Visible = true;
  StatusEdit->Enabled = true;
  StatusEdit->TextGetter = StatusEdit->OwnTextReader();
  StatusEdit->Init();

  // 6
  PortCombo = std::make_unique<TVNComboBox>(parent);
  Bounds(*PortCombo, 10, 10, 85, 24);
  PortCombo->Editable = true;
  PortCombo->ClickMode = 1;
  PortCombo->AddToTop = false;
  PortCombo->SelectAdded = false;
  PortCombo->Sorted = false;
  PortCombo->Color = kWindow;
  PortCombo->Ctl3D = 1;
  PortCombo->Font = SansSerif(8);
  PortCombo->Visible = true;
  PortCombo->Enabled = true;
  PortCombo->Init();

  // 7
  SendHub = MakeHub(2, 1);

  // 8
  Probe = std::make_unique<TVNMultiElementEx>(&parent);
  Probe->Mode = 0;
  Probe->OwnerScheme = this;
  Probe->onEvent.resize(5);

  // 9
  Upload = std::make_unique<TVNMultiElementEx>(&parent);
  Upload->Mode = 0;
  Upload->OwnerScheme = this;
  Upload->onEvent.resize(6);
  Upload->Data.resize(1);

  // 10
  RxRouter = std::make_unique<TVNCommutator>();
  RxRouter->SetOutCount(2);

  // 11
  SerialPort = std::make_unique<TVNComAsync>();
  SerialPort->Baud = 38462;
  SerialPort->Parity = 0;
  SerialPort->DataBits = 3;
  SerialPort->StopBits = 0;
  SerialPort->EventChar = 0;
  SerialPort->DiscardNull = false;
  SerialPort->AbortOnError = true;
  SerialPort->CheckParity = false;
  SerialPort->ReplaceErrors = false;
  SerialPort->ErrorChar = 0;
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
  SerialPort->FlushOnClose = false;

  // 12
  WriteClickHub = MakeHub(1, 3);

  // 13
  UploadProgress = std::make_unique<TVNProgressBar>(parent);
  Bounds(*UploadProgress, 5, 90, 600, 30);
  UploadProgress->Max = 507;
  UploadProgress->Kind = 0;
  UploadProgress->Smooth = true;
  UploadProgress->BarColor = kButtonShadow;
  UploadProgress->Color = kButtonFace;
  UploadProgress->Ctl3D = 0;
  UploadProgress->Visible = true;
  UploadProgress->Init();

  // 14
  DeviceFoundHub = MakeHub(1, 2);

  // 15
  ComboOffData = Emitter(0);

  // 16
  CloseHub = MakeHub(2, 1);

  // 17
  CrcEdit = std::make_unique<TVNEdit>(parent);
  Bounds(*CrcEdit, 45, 145, 85, 25);
  CrcEdit->Text = "FFFF";
  CrcEdit->ReadOnly = false;
  CrcEdit->Color = kWindow;
  CrcEdit->Ctl3D = 0;
  CrcEdit->Font = SansSerif(0);
  CrcEdit->Visible = false;
  CrcEdit->TextGetter = CrcEdit->OwnTextReader();
  CrcEdit->Init();

  // 18
  CrcReceivedLabel = std::make_unique<TVNLabel>(parent);
  Bounds(*CrcReceivedLabel, 140, 150, 101, 20);
  CrcReceivedLabel->Caption = "CRC принятый:";
  CrcReceivedLabel->Font = SansSerif(8);
  CrcReceivedLabel->SetAutoSize(true);
  CrcReceivedLabel->SetAlignment(0);
  CrcReceivedLabel->Visible = true;
  CrcReceivedLabel->Init();

  // 19
  CrcLabel = std::make_unique<TVNLabel>(parent);
  Bounds(*CrcLabel, 10, 150, 35, 20);
  CrcLabel->Caption = "CRC:";
  CrcLabel->Font = SansSerif(8);
  CrcLabel->SetAutoSize(true);
  CrcLabel->SetAlignment(0);
  CrcLabel->Visible = true;
  CrcLabel->Init();

  // 20
  WriteEnableHub = MakeHub(2, 1);

  // 21
  PortNameStore = std::make_unique<TVNEventFromData>();

  // 22
  PortSelectHub = MakeHub(1, 3);

  // 23
  FinishHub = MakeHub(2, 2);

  // 24
  HideData = Emitter(0);

  // 25
  ShowData = Emitter(1);

  // 26
  HideHub = MakeHub(1, 5);

  // 27
  FormEnableHub = MakeHub(2, 1);

  // 28
  ShowOkHub = MakeHub(1, 2);

  // 29
  OkButton = std::make_unique<TVNButton>(parent);
  Bounds(*OkButton, 245, 60, 115, 30);
  OkButton->Caption = "OK";
  OkButton->Color = kButtonFace;
  OkButton->Ctl3D = 1;
  OkButton->Font = SansSerif(8);
  OkButton->Visible = false;
  OkButton->Enabled = true;
  OkButton->Init();

  // 30
  SuccessHub = MakeHub(1, 3);

  // 31
  ErrorShowData = Emitter(1);

  // 32
  FailureHub = MakeHub(1, 2);

  // 33
  ErrorShowHub = MakeHub(1, 3);

  // 34
  ErrorImage = std::make_unique<TVNImage>(parent);
  Bounds(*ErrorImage, 145, 3, 15, 14);
  ErrorImage->SetPicture(toolkit::LoadBitmapResource("BITMAP0"));
  ErrorImage->PaintRoutine = ErrorImage->FitRoutine();
  ErrorImage->SetSmooth(true);
  ErrorImage->Ctl3D = 1;
  ErrorImage->Font = SansSerif(0);
  ErrorImage->Visible = false;
  ErrorImage->Init();

  // 35
  ErrorFlag = std::make_unique<TVNEventFromData>();

  // 36
  ClearErrorData = Emitter(0);

  // 37
  SuccessLabel = std::make_unique<TVNLabel>(parent);
  Bounds(*SuccessLabel, 5, 0, 492, 49);
  SuccessLabel->Caption = SuccessText();
  SuccessLabel->Font = SansSerif(10, /*style=*/1);
  SuccessLabel->SetAutoSize(false);
  SuccessLabel->SetAlignment(2);
  SuccessLabel->Visible = false;
  SuccessLabel->Init();

  // 38
  ShowSuccessData = Emitter(1);

  // 39
  SuccessDelay = std::make_unique<TVNSleep>();
  SuccessDelay->Delay = 15'000'000;

  // 40
  DoneSwitch = std::make_unique<TVNSwitch>();
  DoneSwitch->DataOn = IntegerData(1);
  DoneSwitch->DataOff = IntegerData(0);
  DoneSwitch->SetDefault(1);

  // 41
  FailureGate = std::make_unique<TVNIf_else>();
  FailureGate->Compare = 0;
  FailureGate->Op2 = IntegerData(0);

  // 42
  VersionLabel = std::make_unique<TVNLabel>(parent);
  Bounds(*VersionLabel, 110, 55, 272, 20);
  VersionLabel->Caption = "Версия ПО для обновления:2.1(KELMI)";
  VersionLabel->Font = SansSerif(8);
  VersionLabel->SetAutoSize(true);
  VersionLabel->SetAlignment(0);
  VersionLabel->Visible = true;
  VersionLabel->Init();

  Form->onCreate = MakePoint<&TVNComAsync::doEnum>(0, SerialPort.get());                      // 1
  Form->onClose = MakePoint<&TVNHub::doEvent>(0, CloseHub.get());                             // 2
  WriteButton->onClick = MakePoint<&TVNHub::doEvent>(0, WriteClickHub.get());                 // 3
  PortCombo->onClick = MakePoint<&TVNHub::doEvent>(0, PortSelectHub.get());                   // 4
  SendHub->onEvent[0] = MakePoint<&TVNComAsync::doWrite>(0, SerialPort.get());                // 5
  Probe->onEvent[0] = MakePoint<&TVNHub::doEvent>(0, SendHub.get());                          // 6
  Probe->onEvent[1] = MakePoint<&TVNEdit::doText>(0, StatusEdit.get());                       // 7
  Probe->onEvent[2] = MakePoint<&TVNComAsync::doOpen>(0, SerialPort.get());                   // 8
  Probe->onEvent[4] = MakePoint<&TVNHub::doEvent>(0, DeviceFoundHub.get());                   // 9
  Upload->onEvent[0] = MakePoint<&TVNProgressBar::doPosition>(0, UploadProgress.get());       // 10
  Upload->onEvent[1] = MakePoint<&TVNHub::doEvent>(0, SendHub.get());                         // 11
  Upload->onEvent[2] = MakePoint<&TVNSwitch::doSwitch>(0, DoneSwitch.get());                  // 12
  Upload->onEvent[3] = MakePoint<&TVNIf_else::doCompare>(0, FailureGate.get());               // 13
  Upload->onEvent[4] = MakePoint<&TVNEdit::doText>(0, CrcEdit.get());                         // 14
  Upload->Data[0] = MakePoint<&TVNEdit::varText>(0, CrcEdit.get());                           // 15
  RxRouter->OutIndex = MakePoint<&TVNMultiElementEx::varValue>(0, Probe.get());               // 16
  RxRouter->onEvent[0] = MakePoint<&TVNMultiElementEx::doWork>(2, Probe.get());               // 17
  RxRouter->onEvent[1] = MakePoint<&TVNMultiElementEx::doWork>(0, Upload.get());              // 18
  SerialPort->onRead = MakePoint<&TVNCommutator::doWork>(0, RxRouter.get());                  // 19
  SerialPort->PortPoint = MakePoint<&TVNEventFromData::varData>(0, PortNameStore.get());      // 20
  SerialPort->onRxChar = MakePoint<&TVNComAsync::doRead>(0, SerialPort.get());                // 21
  SerialPort->onEnum = MakePoint<&TVNComboBox::doAdd>(0, PortCombo.get());                    // 22
  SerialPort->onOpen = MakePoint<&TVNMultiElementEx::doWork>(0, Probe.get());                 // 23
  WriteClickHub->onEvent[0] = MakePoint<&TVNMultiElementEx::doWork>(1, Upload.get());         // 24
  WriteClickHub->onEvent[1] = MakePoint<&TVNHub::doEvent>(0, WriteEnableHub.get());           // 25
  WriteClickHub->onEvent[2] = MakePoint<&TVNHub::doEvent>(0, FormEnableHub.get());            // 26
  DeviceFoundHub->onEvent[0] = MakePoint<&TVNDoData::doData>(0, ComboOffData.get());          // 27
  DeviceFoundHub->onEvent[1] = MakePoint<&TVNHub::doEvent>(0, WriteEnableHub.get());          // 28
  ComboOffData->onEventData = MakePoint<&TVNComboBox::doEnabled>(0, PortCombo.get());         // 29
  CloseHub->onEvent[0] = MakePoint<&TVNComAsync::doClose>(0, SerialPort.get());               // 30
  WriteEnableHub->onEvent[0] = MakePoint<&TVNButton::doEnabled>(0, WriteButton.get());        // 31
  PortSelectHub->onEvent[0] = MakePoint<&TVNHub::doEvent>(0, CloseHub.get());                 // 32
  PortSelectHub->onEvent[1] = MakePoint<&TVNEventFromData::doData>(0, PortNameStore.get());   // 33
  PortSelectHub->onEvent[2] = MakePoint<&TVNMultiElementEx::doWork>(1, Probe.get());          // 34
  FinishHub->onEvent[0] = MakePoint<&TVNDoData::doData>(0, HideData.get());                   // 35
  FinishHub->onEvent[1] = MakePoint<&TVNDoData::doData>(0, ShowData.get());                   // 36
  HideData->onEventData = MakePoint<&TVNHub::doEvent>(0, HideHub.get());                      // 37
  ShowData->onEventData = MakePoint<&TVNHub::doEvent>(0, ShowOkHub.get());                    // 38
  HideHub->onEvent[0] = MakePoint<&TVNComboBox::doVisible>(0, PortCombo.get());               // 39
  HideHub->onEvent[1] = MakePoint<&TVNEdit::doVisible>(0, StatusEdit.get());                  // 40
  HideHub->onEvent[2] = MakePoint<&TVNProgressBar::doVisible>(0, UploadProgress.get());       // 41
  HideHub->onEvent[3] = MakePoint<&TVNButton::doVisible>(0, WriteButton.get());               // 42
  HideHub->onEvent[4] = MakePoint<&TVNLabel::doText>(0, VersionLabel.get());                  // 43
  FormEnableHub->onEvent[0] = MakePoint<&TVNSimpleForm::doEnabled>(0, Form.get());            // 44
  ShowOkHub->onEvent[0] = MakePoint<&TVNHub::doEvent>(0, FormEnableHub.get());                // 45
  ShowOkHub->onEvent[1] = MakePoint<&TVNButton::doVisible>(0, OkButton.get());                // 46
  OkButton->onClick = MakePoint<&TVNSimpleForm::doClose>(0, Form.get());                      // 47
  SuccessHub->onEvent[0] = MakePoint<&TVNHub::doEvent>(0, FinishHub.get());                   // 48
  SuccessHub->onEvent[1] = MakePoint<&TVNDoData::doData>(0, ClearErrorData.get());            // 49
  SuccessHub->onEvent[2] = MakePoint<&TVNDoData::doData>(0, ShowSuccessData.get());           // 50
  ErrorShowData->onEventData = MakePoint<&TVNHub::doEvent>(0, ErrorShowHub.get());            // 51
  ErrorShowData->DataPoint = MakePoint<&TVNEventFromData::varData>(0, ErrorFlag.get());       // 52
  FailureHub->onEvent[0] = MakePoint<&TVNHub::doEvent>(0, FinishHub.get());                   // 53
  FailureHub->onEvent[1] = MakePoint<&TVNDoData::doData>(0, ErrorShowData.get());             // 54
  ErrorShowHub->onEvent[0] = MakePoint<&TVNLabel::doVisible>(0, CheckLinksLabel.get());       // 55
  ErrorShowHub->onEvent[1] = MakePoint<&TVNLabel::doVisible>(0, ErrorLabel.get());            // 56
  ErrorShowHub->onEvent[2] = MakePoint<&TVNImage::doVisible>(0, ErrorImage.get());            // 57
  ClearErrorData->onEventData = MakePoint<&TVNEventFromData::doData>(0, ErrorFlag.get());     // 58
  ShowSuccessData->onEventData = MakePoint<&TVNLabel::doVisible>(0, SuccessLabel.get());      // 59
  SuccessDelay->onSleep = MakePoint<&TVNHub::doEvent>(0, SuccessHub.get());                   // 60
  DoneSwitch->onSwitch = MakePoint<&TVNSleep::doSleep>(0, SuccessDelay.get());                // 61
  FailureGate->onTrue = MakePoint<&TVNHub::doEvent>(0, FailureHub.get());                     // 62
  FailureGate->Op1Point = MakePoint<&TVNSwitch::varValue>(0, DoneSwitch.get());               // 63

  // Per-control manager attachments in field order; no control has a hint,
  // so none attaches anything. The two containers build their standing
  // instances between PortCombo and UploadProgress.
  ErrorLabel->AttachHint(nullptr);
  CheckLinksLabel->AttachHint(nullptr);
  WriteButton->AttachHint(nullptr);
  StatusEdit->AttachHint(nullptr);
  PortCombo->AttachHint(nullptr);
  Probe->InitInstances(&CreateProbeScheme);
  Upload->InitInstances(&CreateUploadScheme);
  UploadProgress->AttachHint(nullptr);
  CrcEdit->AttachHint(nullptr);
  CrcReceivedLabel->AttachHint(nullptr);
  CrcLabel->AttachHint(nullptr);
  OkButton->AttachHint(nullptr);
  ErrorImage->AttachHint(nullptr);
  SuccessLabel->AttachHint(nullptr);
  VersionLabel->AttachHint(nullptr);
  // Tab and Shift+Tab move between the form's controls: the toolkit's forms
  // always navigate.
}

TClassSimpleForm_24FF170::~TClassSimpleForm_24FF170() {
  VersionLabel.reset();
  FailureGate.reset();
  DoneSwitch.reset();
  SuccessDelay.reset();
  ShowSuccessData.reset();
  SuccessLabel.reset();
  ClearErrorData.reset();
  ErrorFlag.reset();
  ErrorImage.reset();
  ErrorShowHub.reset();
  FailureHub.reset();
  ErrorShowData.reset();
  SuccessHub.reset();
  OkButton.reset();
  ShowOkHub.reset();
  FormEnableHub.reset();
  HideHub.reset();
  ShowData.reset();
  HideData.reset();
  FinishHub.reset();
  PortSelectHub.reset();
  PortNameStore.reset();
  WriteEnableHub.reset();
  CrcLabel.reset();
  CrcReceivedLabel.reset();
  CrcEdit.reset();
  CloseHub.reset();
  ComboOffData.reset();
  DeviceFoundHub.reset();
  UploadProgress.reset();
  WriteClickHub.reset();
  SerialPort.reset();
  RxRouter.reset();
  Upload.reset();
  Probe.reset();
  SendHub.reset();
  PortCombo.reset();
  StatusEdit.reset();
  WriteButton.reset();
  CheckLinksLabel.reset();
  ErrorLabel.reset();
  Form.reset();
  if (MainScheme == this) MainScheme = nullptr;
}

}  // namespace vn

#include "app/stand_in_scheme.h"

#include "core/cp1251_literals.h"
#include "core/point_link.h"
#include "toolkit/toolkit.h"

namespace vn {
namespace {

constexpr toolkit::Color kButtonFace = static_cast<toolkit::Color>(0xFF00000F);
constexpr toolkit::Color kWindowBackground = static_cast<toolkit::Color>(0xFF000005);

TFontRec SansSerif(std::uint8_t size) { return MakeFont("MS Sans Serif", size, 0, 0, 1); }

template <class T>
void Place(T& component, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  component.Left = left;
  component.Top = top;
  component.Width = width;
  component.Height = height;
}

}  // namespace

TStandInScheme::TStandInScheme() {
  Form = std::make_unique<TVNSimpleForm>();
  Place(*Form, 200, 200, 616, 171);
  Form->SetCaption("Brantelmoor bootloader");
  Form->SetBorderStyle(1);
  Form->SetIcon(toolkit::LoadIconResource("QOLA"));
  Form->DragByClient = true;
  Form->Color = kButtonFace;
  Form->Init();
  toolkit::Window& parent = *Form->Control;

  VersionLabel = std::make_unique<TVNLabel>(parent);
  Place(*VersionLabel, 110, 55, 272, 20);
  VersionLabel->Caption = "Версия ПО для обновления:2.1(KELMI)";
  VersionLabel->Font = SansSerif(8);
  VersionLabel->SetAutoSize(true);
  VersionLabel->Init();

  PortCombo = std::make_unique<TVNComboBox>(parent);
  Place(*PortCombo, 10, 10, 85, 24);
  PortCombo->Editable = true;
  PortCombo->ClickMode = 1;
  PortCombo->Color = kWindowBackground;
  PortCombo->Font = SansSerif(8);
  PortCombo->Init();

  StatusEdit = std::make_unique<TVNEdit>(parent);
  Place(*StatusEdit, 110, 10, 320, 25);
  StatusEdit->Text = "Выберите порт с подключённым устройством.";
  StatusEdit->ReadOnly = true;
  StatusEdit->Font = SansSerif(8);
  StatusEdit->TextGetter = StatusEdit->OwnTextReader();
  StatusEdit->Init();

  UploadProgress = std::make_unique<TVNProgressBar>(parent);
  Place(*UploadProgress, 5, 90, 600, 30);
  UploadProgress->Max = 507;
  UploadProgress->Smooth = true;
  UploadProgress->BarColor = static_cast<toolkit::Color>(0xFF000010);
  UploadProgress->Color = kButtonFace;
  UploadProgress->Init();

  ErrorImage = std::make_unique<TVNImage>(parent);
  Place(*ErrorImage, 145, 3, 15, 14);
  ErrorImage->SetPicture(toolkit::LoadBitmapResource("BITMAP0"));
  ErrorImage->PaintRoutine = ErrorImage->FitRoutine();
  ErrorImage->SetSmooth(true);
  ErrorImage->Init();

  OkButton = std::make_unique<TVNButton>(parent);
  Place(*OkButton, 245, 60, 115, 30);
  OkButton->Caption = "OK";
  OkButton->Color = kButtonFace;
  OkButton->Font = SansSerif(8);
  OkButton->Init();

  SerialPort = std::make_unique<TVNComAsync>();
  SerialPort->Baud = 38462;
  SerialPort->DataBits = 3;
  SerialPort->EnumCheck = true;

  Form->onCreate = MakePoint<&TVNComAsync::doEnum>(0, SerialPort.get());
  Form->onClose = MakePoint<&TVNComAsync::doClose>(0, SerialPort.get());
  SerialPort->onEnum = MakePoint<&TVNComboBox::doAdd>(0, PortCombo.get());
  PortCombo->onClick = MakePoint<&TVNEdit::doText>(0, StatusEdit.get());
  OkButton->onClick = MakePoint<&TVNSimpleForm::doClose>(0, Form.get());
}

TStandInScheme::~TStandInScheme() {
  SerialPort.reset();
  OkButton.reset();
  ErrorImage.reset();
  UploadProgress.reset();
  StatusEdit.reset();
  PortCombo.reset();
  VersionLabel.reset();
  Form.reset();
}

}  // namespace vn

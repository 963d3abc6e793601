#include "components/win/simple_form.h"

#include <array>

#include "core/dispatch.h"
#include "core/scheme_lock.h"
#include "core/startup.h"

namespace vn {

namespace {

constexpr std::uint32_t kFrameStyleMask = 0x00C70000;  // caption, sizing frame, min/max boxes
constexpr std::uint32_t kFrameExStyleMask = 0x181;     // dialog frame, tool window, window edge
constexpr std::uint32_t kTaskbarHiddenExStyle = 0x81;  // dialog frame and tool window

constexpr std::array<TFrameStyles, 10> kBorderStyles = {{
    {0, 0},                 // no caption, no frame
    {0x00C20000, 0},        // caption, minimize box, fixed size
    {0x00C70000, 0},        // caption, sizing frame, minimize and maximize
    {0x00C00000, 0x100},    // caption only, raised edge
    {0x00C00000, 0x80},     // tool window caption, fixed
    {0x00C40000, 0x80},     // tool window caption, sizing frame
    {0, 0x1},               // dialog frame without caption
    {0x00040000, 0x80},     // sizing frame, tool window, no caption
    {0, 0x201},             // client edge and dialog frame
    {0x00040000, 0x200},    // sizing frame with client edge
}};

}  // namespace

std::optional<TFrameStyles> FormBorderStyles(std::uint8_t value, TFrameStyles current) {
  if (value >= kBorderStyles.size()) return std::nullopt;
  const TFrameStyles& bits = kBorderStyles[value];
  return TFrameStyles{(current.style & ~kFrameStyleMask) | bits.style,
                      (current.exStyle & ~kFrameExStyleMask) | bits.exStyle};
}

TVNSimpleForm::TVNSimpleForm(toolkit::Window* parentWindow) : TVNSimpleWin(parentWindow) {
  toolkit::Application::MainWindow();
  Control = toolkit::Form::Create("Form");
  Control->SetVisible(false);
  AttachHandler(*Control);
  Control->SetAlignSpacing(0);
  RegisterStartup<&TVNSimpleForm::Startup>(this);
}

TVNSimpleForm::~TVNSimpleForm() { UnregisterStartup(this); }

void TVNSimpleForm::SetCaption(std::string_view caption) {
  Control->SetText(caption);
  if (toolkit::Application::HasMainWindow()) toolkit::Application::MainWindow().SetText(caption);
}

std::string TVNSimpleForm::Caption() const { return Control->Text(); }

void TVNSimpleForm::SetBorderStyle(std::uint8_t value) {
  const auto styles = FormBorderStyles(value, {Control->Style(), Control->ExStyle()});
  if (!styles) return;
  borderStyle_ = value;
  Control->SetStyle(styles->style);
  Control->SetExStyle(styles->exStyle);
}

void TVNSimpleForm::SetTaskbarHidden(std::uint8_t value) {
  if (value == 1 && toolkit::Application::HasMainWindow()) {
    toolkit::Application::MainWindow().SetExStyle(kTaskbarHiddenExStyle);
  }
}

void TVNSimpleForm::SetIcon(const std::shared_ptr<toolkit::Icon>& icon) {
  if (toolkit::Application::HasMainWindow()) toolkit::Application::MainWindow().SetIcon(icon);
  Control->SetIcon(icon);
}

void TVNSimpleForm::doClose(TData& /*data*/, std::uint16_t /*index*/) {
  SchemeChain chain;
  toolkit::RunOnWindowThread([this] {
    if (!WindowGone && Control->Exists()) Control->RequestClose(/*byScheme=*/true);
  });
}

void TVNSimpleForm::Run() {
  SchemeChain chain;
  if (toolkit::Application::HasMainWindow()) toolkit::Application::MainWindow().SetVisible(Visible);
  StartDispatch();
  RunStartup();
}

void TVNSimpleForm::Startup() {
  FireNull(onCreate);
  if (!WindowGone) Control->SetVisible(Visible);
}

void TVNSimpleForm::Init() {
  // The window stays hidden until the start-up step shows it.
  const bool visible = Visible;
  Visible = false;
  TVNSimpleWin::Init();
  Visible = visible;
}

void TVNSimpleForm::MouseDown(const toolkit::MouseEvent& event) {
  if (DragByClient) {
    Control->SetMouseCapture(false);
    Control->StartDrag();
  }
  TVNSimpleWin::MouseDown(event);
}

bool TVNSimpleForm::WindowMessage(toolkit::Message& message) {
  namespace m = toolkit::message;
  const bool hasMain = toolkit::Application::HasMainWindow();
  switch (message.id) {
    case m::Move: {
      if (hasMain) {
        toolkit::Form& main = toolkit::Application::MainWindow();
        const toolkit::Rect was = main.Bounds();
        const toolkit::Rect form = Control->Bounds();
        main.SetBounds({form.left, form.top, SaturatingAdd(form.left, was.Width()),
                        SaturatingAdd(form.top, was.Height())});
      }
      FireNull(onMove);
      // The base hook would fire onMove a second time.
      return CallPrevHandler(message);
    }
    case m::Size:
      if (hasMain) {
        toolkit::Form& main = toolkit::Application::MainWindow();
        toolkit::Rect bounds = main.Bounds();
        bounds.right = SaturatingAdd(bounds.left, Control->Bounds().Width());
        main.SetBounds(bounds);
      }
      return TVNSimpleWin::WindowMessage(message);
    case m::Close:
      return CloseDecision(message);
    default:
      return TVNSimpleWin::WindowMessage(message);
  }
}

bool TVNSimpleForm::CloseDecision(toolkit::Message& message) {
  // Parameter 0: the user or the system asked (close box, system menu,
  // Alt+F4); 1: the program itself (doClose).
  if (message.wParam == 0 && ReadPointInteger(KeepOpen) != 0) return true;
  FireNull(onClose);
  StopDispatch();
  return TVNSimpleWin::WindowMessage(message);
}

}  // namespace vn

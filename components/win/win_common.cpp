#include "components/win/win_common.h"

#include "core/conversions.h"
#include "core/dispatch.h"
#include "core/scheme_lock.h"

namespace vn {

namespace {

constexpr std::uint32_t kBorder = 0x00800000;      // WS_BORDER
constexpr std::uint32_t kClientEdge = 0x00000200;  // WS_EX_CLIENTEDGE

// Messages the components act on; every other message passes by without
// waiting for the scheme lock, so a long chain on another thread does not
// stall painting and the rest of the window's own work.
bool ConcernsScheme(std::uint32_t id) {
  namespace m = toolkit::message;
  switch (id) {
    case m::Move:
    case m::Size:
    case m::SetFocus:
    case m::KillFocus:
    case m::Close:
    case m::WindowPosChanging:
    case m::MouseHover:
    case m::MouseLeave:
      return true;
    default:
      return id >= m::MouseFirst && id <= m::MouseLast;
  }
}

// The held-button value of a mouse move: only left, right or middle down.
std::int32_t HeldButton(std::int32_t shift) {
  switch (shift) {
    case 1: return 0;
    case 2: return 1;
    case 16: return 2;
    default: return -1;
  }
}

}  // namespace

// Turns the toolkit's notifications into calls of the component's operations.
class TWinCommon::Events final : public toolkit::Handler {
 public:
  explicit Events(TWinCommon& owner) : owner_(owner) {}

  bool HandleMessage(toolkit::Message& message) override {
    if (!ConcernsScheme(message.id)) return owner_.CallPrevHandler(message);
    SchemeChain chain;
    return owner_.WindowMessage(message);
  }
  void MouseDown(const toolkit::MouseEvent& event) override {
    SchemeChain chain;
    owner_.MouseDown(event);
  }
  void MouseMove(const toolkit::MouseEvent& event) override {
    SchemeChain chain;
    owner_.MouseMove(event);
  }
  void MouseUp(const toolkit::MouseEvent& event) override {
    SchemeChain chain;
    owner_.MouseUp(event);
  }
  void MouseWheel(const toolkit::MouseEvent& event) override {
    SchemeChain chain;
    owner_.MouseWheel(event);
  }
  void DoubleClick(const toolkit::MouseEvent& event) override {
    SchemeChain chain;
    owner_.DoubleClick(event);
  }
  void KeyDown(std::uint16_t& key) override {
    SchemeChain chain;
    owner_.HandleKeyDown(key);
  }
  void KeyUp(std::uint16_t& key) override {
    SchemeChain chain;
    owner_.HandleKeyUp(key);
  }
  void KeyChar(char& character) override {
    SchemeChain chain;
    owner_.HandleKeyChar(character);
  }
  void Resized() override {
    SchemeChain chain;
    owner_.Resized();
  }
  void Shown() override {
    SchemeChain chain;
    owner_.Shown();
  }
  void Destroyed() override { owner_.Destroyed(); }
  void Clicked() override {
    SchemeChain chain;
    owner_.ClickHandler();
  }
  void TextChanged() override {
    owner_.TextChangedNow();
    SchemeChain chain;
    owner_.ChangeHandler();
  }
  void SelectionChanged() override {
    SchemeChain chain;
    owner_.SelectionHandler();
  }
  void Paint(toolkit::Canvas& canvas) override { owner_.PaintHandler(canvas); }

 private:
  TWinCommon& owner_;
};

TWinCommon::TWinCommon(toolkit::Window* parentWindow)
    : ParentWindow(parentWindow),
      Color(parentWindow != nullptr ? parentWindow->GetColor() : 0),
      events_(std::make_unique<Events>(*this)) {}

TWinCommon::~TWinCommon() = default;

void TWinCommon::doEnabled(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  const bool enabled = ToBool(data);
  toolkit::RunOnWindowThread([this, enabled] {
    toolkit::Window* window = OwnWindow();
    if (window != nullptr && window->Exists()) window->SetEnabled(enabled);
  });
}

void TWinCommon::KeyDown(std::uint16_t& key) { FireInteger(onKeyDown, key); }

void TWinCommon::KeyUp(std::uint16_t& key) { FireInteger(onKeyUp, key); }

void TWinCommon::MouseDown(const toolkit::MouseEvent& event) {
  SaveMouse(event);
  FireInteger(onMouseDown, static_cast<std::int32_t>(MouseButton) - 1);
  toolkit::Window* window = OwnWindow();
  if (MouseCapture && window != nullptr) {
    window->SetMouseCapture(false);
    window->SetMouseCapture(true);
  }
}

void TWinCommon::MouseMove(const toolkit::MouseEvent& event) {
  // The value tells which button was held at the previous mouse message.
  const std::int32_t held = HeldButton(MouseShift);
  SaveMouse(event);
  FireInteger(onMouseMove, held);
}

void TWinCommon::MouseEnter() { FireNull(onMouseEnter); }

void TWinCommon::MouseLeave() { FireNull(onMouseLeave); }

void TWinCommon::MouseUp(const toolkit::MouseEvent& event) {
  SaveMouse(event);
  FireInteger(onMouseUp, static_cast<std::int32_t>(MouseButton) - 1);
  toolkit::Window* window = OwnWindow();
  if (MouseCapture && window != nullptr) window->SetMouseCapture(false);
}

void TWinCommon::MouseWheel(const toolkit::MouseEvent& event) {
  SaveMouse(event);
  // The delta sits in the high half of the state word; the division
  // truncates, so a backward step with Ctrl held gives -119.
  FireInteger(onMouseWheel, MouseShift / 65536);
}

bool TWinCommon::WindowMessage(toolkit::Message& message) {
  namespace m = toolkit::message;
  toolkit::Window* window = OwnWindow();
  switch (message.id) {
    case m::Move: FireNull(onMove); break;
    case m::SetFocus: FireNull(onSetFocus); break;
    case m::KillFocus: FireNull(onKillFocus); break;
    case m::MouseHover: MouseEnter(); break;
    case m::MouseLeave:
      MouseLeave();
      if (window != nullptr) window->TrackMouse(toolkit::MouseTracking::Hover);
      break;
    default:
      if (message.id >= m::MouseFirst && message.id <= m::MouseLast) {
        if (window != nullptr) window->TrackMouse(toolkit::MouseTracking::Leave);
        MouseEnter();
      }
      break;
  }
  return CallPrevHandler(message);
}

void TWinCommon::Resized() { FireNull(onResize); }

void TWinCommon::Shown() { FireNull(onShow); }

bool TWinCommon::CallPrevHandler(toolkit::Message& message) {
  return PrevHook ? PrevHook(message) : false;
}

void TWinCommon::InitFrame(toolkit::Window& window) {
  window.SetColor(Color);
  const toolkit::Rect created = window.Bounds();
  const std::int32_t width = Width != 0 ? Width : created.Width();
  const std::int32_t height = Height != 0 ? Height : created.Height();
  window.SetBounds({Left, Top, SaturatingAdd(Left, width), SaturatingAdd(Top, height)});
  if (Ctl3D == 0) {
    window.SetExStyle(window.ExStyle() | kClientEdge);
    window.SetStyle(window.Style() & ~kBorder);
  } else if (Ctl3D == 1) {
    window.SetExStyle(window.ExStyle() & ~kClientEdge);
    window.SetStyle(window.Style() | kBorder);
  }
}

void TWinCommon::InitNavigation(toolkit::Window& window) {
  window.SetTabOrder(TabOrder);
  // The toolkit keeps no earlier hook of its own to save in PrevHook: one
  // set by the scheme stays as it is.
  AttachHandler(window);
  window.SetAlign(Align <= static_cast<std::uint8_t>(toolkit::Align::Client)
                      ? static_cast<toolkit::Align>(Align)
                      : toolkit::Align::None);
}

void TWinCommon::AttachHandler(toolkit::Window& window) { window.SetHandler(events_.get()); }

void TWinCommon::SaveMouse(const toolkit::MouseEvent& event) {
  MouseButton = event.button;
  MouseShift = event.shift;
  MouseX = event.x;
  MouseY = event.y;
}

void TWinCommon::DoubleClick(const toolkit::MouseEvent& event) {
  FireInteger(onDblClick, static_cast<std::int32_t>(event.button) - 1);
}

}  // namespace vn

// Forms and controls alike: text, geometry, visibility, focus, closing.

#include <algorithm>
#include <utility>
#include <vector>

#include "toolkit/control_rules.h"
#include "toolkit/dock_layout.h"
#include "toolkit/toolkit_headless_world.h"

namespace vn::toolkit {

namespace hd = headless::detail;

namespace {

constexpr std::uint32_t kShowWindow = 0x0018;  // WM_SHOWWINDOW
constexpr std::uint32_t kNoMove = 0x0002;      // SWP_NOMOVE
constexpr std::uint32_t kNoZOrderNoActivate = 0x0004 | 0x0010;

// Follows a control's chain of parents; forms are not part of their
// owner's area.
bool Within(const hd::Node* inner, const hd::Node& outer) {
  for (const hd::Node* at = inner; at != nullptr; at = at->kind == hd::NodeKind::Control ? at->parent : nullptr) {
    if (at == &outer) return true;
  }
  return false;
}

void DropFocusWithin(const hd::Node& node) {
  if (Within(hd::TheWorld().focus, node)) hd::SetFocusTo(nullptr);
}

void RelayoutAround(hd::Node& node) {
  if (node.align != Align::None && node.parent != nullptr) hd::Relayout(*node.parent);
}

}  // namespace

namespace headless::detail {

bool Offer(Node& node, Message& message) {
  Handler* handler = node.handler;
  return handler != nullptr && handler->HandleMessage(message);
}

std::intptr_t PointParam(std::int32_t x, std::int32_t y) {
  const std::uint32_t word = static_cast<std::uint16_t>(x) | (static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16);
  return static_cast<std::intptr_t>(word);
}

void SetFocusTo(Node* target) {
  World& w = TheWorld();
  Node* old = w.focus;
  if (old == target) return;
  w.focus = target;
  if (target != nullptr) {
    Node* form = FormOf(*target);
    if (form != nullptr && form != target) form->lastFocus = target;
  }
  // Windows tells the window losing the focus first; each message carries
  // the other window's handle.
  if (old != nullptr) {
    Message kill{message::KillFocus, reinterpret_cast<std::uintptr_t>(target), 0, nullptr};
    Offer(*old, kill);
  }
  if (target != nullptr && w.focus == target) {
    Message set{message::SetFocus, reinterpret_cast<std::uintptr_t>(old), 0, nullptr};
    Offer(*target, set);
  }
}

// The position-changing message first, whose record the hook may change
// (the change is honoured unless the record says the size or place is
// kept), then Move and Size for what really changed, and the Resized
// notification after an unconsumed Size.
void ApplyBounds(Node& node, const Rect& bounds, std::uint32_t keep) {
  if (!node.exists) return;
  const Rect was = node.bounds;
  WindowPosition position{bounds.left, bounds.top, WidthOf(bounds), HeightOf(bounds), kNoZOrderNoActivate | keep};
  Watch watch(node);
  Message changing{message::WindowPosChanging, 0, 0, &position};
  Offer(node, changing);
  if (watch.Gone() || !node.exists) return;

  Rect now = was;
  if ((position.flags & kNoMove) == 0) {
    now.left = position.x;
    now.top = position.y;
  }
  const std::int32_t width = (position.flags & kKeepSize) == 0 ? std::max(0, position.width) : WidthOf(was);
  const std::int32_t height = (position.flags & kKeepSize) == 0 ? std::max(0, position.height) : HeightOf(was);
  now.right = Saturate(std::int64_t{now.left} + width);
  now.bottom = Saturate(std::int64_t{now.top} + height);
  node.bounds = now;

  if (now.left != was.left || now.top != was.top) {
    Message moved{message::Move, 0, PointParam(now.left, now.top), nullptr};
    Offer(node, moved);
    if (watch.Gone() || !node.exists) return;
  }
  if (WidthOf(now) != WidthOf(was) || HeightOf(now) != HeightOf(was)) {
    Message sized{message::Size, 0, PointParam(WidthOf(now), HeightOf(now)), nullptr};
    if (!Offer(node, sized) && !watch.Gone() && node.handler != nullptr) node.handler->Resized();
    if (watch.Gone() || !node.exists) return;
    Relayout(node);
    if (!watch.Gone()) RelayoutAround(node);
  }
}

// Docks the visible aligned children in creation order. Placing a child
// lets its handler hear of the new size; a handler may change the layout
// again (that waits for this round to finish) or destroy windows.
void Relayout(Node& parent) {
  if (parent.layingOut || !parent.exists) return;
  std::vector<std::pair<Node*, Watch>> docked;
  std::vector<rules::DockItem> items;
  for (Node* child : parent.children) {
    if (child->kind != NodeKind::Control || child->align == Align::None || !child->Visible()) continue;
    docked.emplace_back(child, Watch(*child));
    items.push_back({child->align, child->bounds});
  }
  if (docked.empty()) return;
  rules::DockLayout({0, 0, WidthOf(parent.bounds), HeightOf(parent.bounds)}, parent.alignSpacing, items);
  Watch watch(parent);
  parent.layingOut = true;
  for (std::size_t i = 0; i < docked.size(); ++i) {
    auto& [child, childWatch] = docked[i];
    if (childWatch.Gone() || !child->exists || child->parent != &parent) continue;
    ApplyBounds(*child, items[i].bounds);
    if (watch.Gone()) return;
  }
  parent.layingOut = false;
}

// ShowWindow: only a real change counts; a window being shown hears the
// show message before it becomes visible, and Shown unless the hook consumed
// the message.
void ShowNode(Node& node, bool visible) {
  if (!node.exists || node.Visible() == visible) return;
  Watch watch(node);
  Message show{kShowWindow, visible ? 1u : 0u, 0, nullptr};
  const bool consumed = Offer(node, show);
  if (watch.Gone() || !node.exists) return;
  if (visible && !consumed && node.handler != nullptr) {
    node.handler->Shown();
    if (watch.Gone() || !node.exists) return;
  }
  if (visible) {
    node.style |= style::Visible;
  } else {
    node.style &= ~style::Visible;
    DropFocusWithin(node);
  }
  if (!watch.Gone()) RelayoutAround(node);
}

// A window being disabled while it has the focus loses it (EnableWindow).
void EnableNode(Node& node, bool enabled) {
  if (!node.exists || node.Enabled() == enabled) return;
  if (enabled) {
    node.style &= ~style::Disabled;
  } else {
    node.style |= style::Disabled;
    DropFocusWithin(node);
  }
}

// The close message goes through the form's hook; unconsumed, the main
// form's close ends the application and any other form is destroyed (the
// default window procedure's answer to a close).
void DeliverClose(Node& form, bool byScheme) {
  if (!form.exists) return;
  World& w = TheWorld();
  if (form.kind == NodeKind::Application) {
    if (w.mainForm != nullptr) {
      DeliverClose(*w.mainForm, byScheme);
    } else {
      CloseApplication();
    }
    return;
  }
  Watch watch(form);
  Message close{message::Close, byScheme ? 1u : 0u, 0, nullptr};
  if (Offer(form, close) || watch.Gone() || !form.exists) return;
  if (&form == w.mainForm) {
    CloseApplication();
  } else {
    DestroyNode(form, /*notifySelf=*/true);
  }
}

// The application window takes itself down, as the Win32 backend resets its
// handle: its own handler hears nothing, the forms it owns do.
void CloseApplication() {
  World& w = TheWorld();
  w.quit = true;
  if (Node* application = Lookup(w.application.get())) DestroyNode(*application, /*notifySelf=*/false);
}

}  // namespace headless::detail

Window::Window(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Window::~Window() { hd::Unregister(*impl_); }

void Window::SetHandler(Handler* handler) { impl_->handler = handler; }

void Window::SetText(std::string_view text) { hd::SetNodeText(*impl_, text); }

std::string Window::Text() const { return impl_->text; }

void Window::SetBounds(const Rect& bounds) { hd::ApplyBounds(*impl_, bounds); }

Rect Window::Bounds() const { return impl_->bounds; }

Rect Window::ClientRect() const {
  // The headless screen draws no frame: the client area is the whole window.
  return {0, 0, hd::WidthOf(impl_->bounds), hd::HeightOf(impl_->bounds)};
}

void Window::SetVisible(bool visible) { hd::ShowNode(*impl_, visible); }

bool Window::Visible() const { return impl_->Visible(); }

void Window::SetEnabled(bool enabled) { hd::EnableNode(*impl_, enabled); }

bool Window::Enabled() const { return impl_->Enabled(); }

std::uint32_t Window::Style() const { return impl_->style; }

void Window::SetStyle(std::uint32_t style) {
  if (impl_->exists) impl_->style = style;
}

std::uint32_t Window::ExStyle() const { return impl_->exStyle; }

void Window::SetExStyle(std::uint32_t exStyle) {
  if (impl_->exists) impl_->exStyle = exStyle;
}

void Window::SetColor(Color color) {
  if (impl_->exists) impl_->color = color;
}

Color Window::GetColor() const { return impl_->color; }

void Window::SetFont(const Font& font) {
  if (!impl_->exists) return;
  impl_->font = font;
  if (impl_->autoSize) hd::FitToText(*impl_);
}

Font Window::GetFont() const { return impl_->font; }

void Window::SetCursor(std::int32_t cursor) {
  if (impl_->exists) impl_->cursor = cursor;
}

void Window::SetAlign(Align align) {
  if (!impl_->exists) return;
  impl_->align = align;
  if (impl_->parent != nullptr) hd::Relayout(*impl_->parent);
}

void Window::SetTabOrder(std::int32_t order) {
  hd::Node& node = *impl_;
  if (!node.exists) return;
  if (order < 0) {
    node.style &= ~hd::style::TabStop;
    return;
  }
  if (order == 0) return;
  node.style |= hd::style::TabStop;
  std::vector<std::int32_t*> places;
  if (node.parent == nullptr) {
    node.tabPlace = order;
    return;
  }
  for (hd::Node* sibling : node.parent->children) {
    if (sibling->kind == hd::NodeKind::Control) places.push_back(&sibling->tabPlace);
  }
  node.parent->nextTabPlace = rules::TakeTabPlace(places, node.tabPlace, order, node.parent->nextTabPlace);
}

void Window::RaiseHidden() {
  // SWP_HIDEWINDOW hides without the show message. The headless screen has
  // no overlapping, so the place in the z-order is not kept.
  hd::Node& node = *impl_;
  if (!node.exists || !node.Visible()) return;
  node.style &= ~hd::style::Visible;
  DropFocusWithin(node);
  RelayoutAround(node);
}

void Window::SetMouseCapture(bool capture) {
  hd::World& w = hd::TheWorld();
  if (capture && impl_->exists) {
    w.capture = impl_.get();
  } else if (!capture && w.capture == impl_.get()) {
    w.capture = nullptr;
  }
}

void Window::TrackMouse(MouseTracking tracking) {
  // As on Windows: a leave asked for while the pointer is elsewhere is
  // queued at once; otherwise it comes when the pointer next moves to
  // another window or off the screen, the hover when it next rests here.
  hd::Node& node = *impl_;
  if (!node.exists) return;
  if (tracking == MouseTracking::Hover) {
    node.trackHover = true;
  } else if (hd::TheWorld().hot == &node) {
    node.trackLeave = true;
  } else {
    hd::PostLeave(node);
  }
}

void Window::Repaint() {
  // Counted only; a test paints with headless::Paint when it wants to see
  // what the window draws.
  if (impl_->exists) ++impl_->paints;
}

void* Window::NativeHandle() { return static_cast<hd::Node*>(impl_.get()); }

bool Window::Exists() const { return impl_->exists; }

void Window::Destroy() { hd::DestroyNode(*impl_, /*notifySelf=*/false); }

}  // namespace vn::toolkit

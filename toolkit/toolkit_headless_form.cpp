// Top-level windows: the application window, forms, the message loop.

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "toolkit/toolkit_headless_world.h"

namespace vn::toolkit {

namespace hd = headless::detail;

namespace {

constexpr std::uint32_t kApplicationStyle = 0x90CA0000;  // visible pop-up: caption, system menu, minimize box
constexpr std::uint32_t kFormStyle = 0x02CF0000;         // hidden overlapped window, clipping its children
constexpr Color kButtonFace = static_cast<Color>(0xFF00000F);
constexpr Rect kFormBounds{0, 0, 320, 240};

}  // namespace

std::unique_ptr<Form> Form::Create(std::string_view text) {
  hd::RegisterWindowThread();
  hd::World& w = hd::TheWorld();
  // Forms are owned by the application window, so the first form makes it.
  if (!w.application) {
    auto impl = std::make_unique<Impl>();
    impl->style = kApplicationStyle;
    impl->color = kButtonFace;
    w.application.reset(new Form(std::move(impl)));
    hd::Adopt(*w.application->impl_, *w.application, hd::NodeKind::Application, nullptr);
  }
  if (w.makingApplication) return nullptr;

  auto impl = std::make_unique<Impl>();
  hd::Node& node = *impl;
  node.style = kFormStyle;
  node.color = kButtonFace;
  node.bounds = kFormBounds;
  node.text = text;
  std::unique_ptr<Form> form(new Form(std::move(impl)));
  hd::Node* application = w.application->impl_.get();
  hd::Adopt(node, *form, hd::NodeKind::Form, application->exists ? application : nullptr);
  if (!w.mainFormMade && application->exists) {
    w.mainFormMade = true;
    w.mainForm = &node;
  }
  return form;
}

void Form::SetIcon(const std::shared_ptr<Icon>& icon) {
  if (impl_->exists) impl_->icon = icon;
}

void Form::SetAlignSpacing(std::int32_t spacing) {
  if (!impl_->exists) return;
  impl_->alignSpacing = spacing;
  hd::Relayout(*impl_);
}

void Form::RequestClose(bool byScheme) { hd::DeliverClose(*impl_, byScheme); }

void Form::StartDrag() {
  // The caption's move command follows the pointer while a button is held.
  hd::World& w = hd::TheWorld();
  if (!impl_->exists) return;
  ++impl_->dragStarts;
  if (w.buttons == 0) return;
  w.dragged = impl_.get();
  w.dragAnchor = w.pointer;
  w.dragOrigin = {impl_->bounds.left, impl_->bounds.top};
}

void Application::InitCommonControls() { hd::RegisterWindowThread(); }

Form& Application::MainWindow() {
  hd::World& w = hd::TheWorld();
  if (!w.application) {
    w.makingApplication = true;
    Form::Create({});
    w.makingApplication = false;
  }
  return *w.application;
}

bool Application::HasMainWindow() {
  const hd::World& w = hd::TheWorld();
  return w.application && w.application->Exists();
}

void Application::Run() {
  hd::RegisterWindowThread();
  if (!OnWindowThread()) {
    std::fputs("headless toolkit: Application::Run called off the window thread\n", stderr);
    std::abort();
  }
  hd::World& w = hd::TheWorld();
  // Without a main form nothing could ever end the loop: it returns at once.
  while (!w.quit && w.mainForm != nullptr) {
    if (hd::ServeHandOvers()) continue;
    if (hd::ServeOnePosted()) continue;
    hd::WaitForRequests(std::chrono::milliseconds(100));
  }
}

void Application::CloseMainForm() { hd::CloseApplication(); }

int Application::VersionClass() { return 6; }

int Application::ScreenDpi() { return 96; }

void Application::ShowMessage(std::string_view text, std::string_view caption, Window* owner) {
  // Recorded for the tests; the box is answered at once.
  hd::TheWorld().messages.push_back(
      {std::string(text), std::string(caption), owner != nullptr ? owner->Text() : std::string()});
}

}  // namespace vn::toolkit

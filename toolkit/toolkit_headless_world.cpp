#include "toolkit/toolkit_headless_world.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace vn::toolkit::headless::detail {

namespace {

void Unlink(Node& node) {
  if (node.parent == nullptr) return;
  std::erase(node.parent->children, &node);
  node.parent = nullptr;
}

void ForgetReferences(const Node& node) {
  World& w = TheWorld();
  for (Node** slot : {&w.focus, &w.hot, &w.capture, &w.pressed, &w.dragged, &w.mainForm}) {
    if (*slot == &node) *slot = nullptr;
  }
  for (Node* other : w.nodes) {
    if (other->lastFocus == &node) other->lastFocus = nullptr;
  }
}

// Windows destroys the windows a window owns before the window itself, and
// the window before its children.
void CollectForDestruction(Node& node, std::vector<Node*>& order) {
  for (Node* child : node.children) {
    if (child->kind != NodeKind::Control) CollectForDestruction(*child, order);
  }
  order.push_back(&node);
  for (Node* child : node.children) {
    if (child->kind == NodeKind::Control) CollectForDestruction(*child, order);
  }
}

}  // namespace

std::int32_t Saturate(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::int32_t WidthOf(const Rect& rect) { return Saturate(std::max<std::int64_t>(std::int64_t{rect.right} - rect.left, 0)); }

std::int32_t HeightOf(const Rect& rect) {
  return Saturate(std::max<std::int64_t>(std::int64_t{rect.bottom} - rect.top, 0));
}

World& TheWorld() {
  // Never destroyed: windows that outlive the program's end still find it.
  static World* const world = new World;
  return *world;
}

void Adopt(Node& node, Window& self, NodeKind kind, Node* parent) {
  World& w = TheWorld();
  node.kind = kind;
  node.self = &self;
  node.serial = ++w.serial;
  if (parent != nullptr && parent->exists) {
    node.parent = parent;
    parent->children.push_back(&node);
    if (kind == NodeKind::Control) node.tabPlace = parent->nextTabPlace++;
  }
  w.nodes.push_back(&node);
}

void Unregister(Node& node) {
  DestroyNode(node, /*notifySelf=*/false);
  std::erase(TheWorld().nodes, &node);
  ForgetReferences(node);
}

Node* Lookup(const Window* window) {
  if (window == nullptr) return nullptr;
  for (Node* node : TheWorld().nodes) {
    if (node->self == window) return node;
  }
  return nullptr;
}

Node* FormOf(Node& node) {
  Node* at = &node;
  while (at != nullptr && at->kind == NodeKind::Control) at = at->parent;
  return at;
}

bool OnScreen(const Node& node) {
  if (!node.exists || !node.Visible()) return false;
  if (node.kind != NodeKind::Control) return true;  // an owned form shows by itself
  return node.parent != nullptr && OnScreen(*node.parent);
}

bool TakesInput(const Node& node) {
  if (!OnScreen(node)) return false;
  for (const Node* at = &node; at != nullptr; at = at->kind == NodeKind::Control ? at->parent : nullptr) {
    if (!at->Enabled()) return false;
  }
  return true;
}

Point Origin(const Node& node) {
  Point own{node.bounds.left, node.bounds.top};
  if (node.kind != NodeKind::Control || node.parent == nullptr) return own;
  const Point base = Origin(*node.parent);
  return {Saturate(std::int64_t{base.x} + own.x), Saturate(std::int64_t{base.y} + own.y)};
}

void DestroyNode(Node& node, bool notifySelf) {
  if (!node.exists) return;
  std::vector<Node*> order;
  CollectForDestruction(node, order);
  // The whole subtree is taken apart before anyone hears of it, so a handler
  // may do anything (even free other windows) without meeting a half-built
  // tree.
  Unlink(node);
  std::vector<std::pair<Node*, Watch>> notify;
  for (Node* gone : order) {
    gone->exists = false;
    gone->style &= ~style::Visible;
    gone->parent = nullptr;
    gone->children.clear();
    ForgetReferences(*gone);
    if (gone != &node || notifySelf) notify.emplace_back(gone, Watch(*gone));
  }
  for (auto& [gone, watch] : notify) {
    if (!watch.Gone() && gone->handler != nullptr) gone->handler->Destroyed();
  }
}

void ResetWorld() {
  World& w = TheWorld();
  for (Node* node : w.nodes) {
    node->exists = false;
    node->handler = nullptr;
    node->parent = nullptr;
    node->children.clear();
  }
  std::unique_ptr<Form> application = std::move(w.application);
  w.nodes.clear();
  w.makingApplication = false;
  w.mainFormMade = false;
  w.mainForm = nullptr;
  w.quit = false;
  w.focus = w.hot = w.capture = w.pressed = w.dragged = nullptr;
  w.pointer = {};
  w.buttons = 0;
  w.modifiers = {};
  w.messages.clear();
  w.tooltips.clear();
  application.reset();
}

}  // namespace vn::toolkit::headless::detail

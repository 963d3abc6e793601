// The six control kinds: creation styles and sizes, text rules, combo box
// items, progress range.

#include <algorithm>

#include "core/cp1251_lower.h"
#include "toolkit/control_rules.h"
#include "toolkit/toolkit_headless_world.h"

namespace vn::toolkit {

namespace hd = headless::detail;

namespace {

void MakeOrdinary(hd::Node& parent) {
  for (hd::Node* child : parent.children) {
    if (child->kind != hd::NodeKind::Control) continue;
    if (child->isDefault) {
      child->isDefault = false;
      child->style = rules::PushButtonStyle(child->style, false);
    }
    MakeOrdinary(*child);
  }
}

bool IsCombo(const hd::Node& node) { return node.exists && node.kind == hd::NodeKind::Control && node.control == ControlKind::ComboBox; }

bool SortsBefore(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return LowerCp1251(static_cast<unsigned char>(x)) < LowerCp1251(static_cast<unsigned char>(y));
  });
}

std::int32_t InsertAt(hd::Node& node, std::size_t at, std::string_view text) {
  node.items.insert(node.items.begin() + static_cast<std::ptrdiff_t>(at), hd::Item{std::string(text), 0});
  const auto index = static_cast<std::int32_t>(at);
  // The list keeps the selected item selected when others come before it.
  if (node.selected >= index) ++node.selected;
  return index;
}

bool ValidItem(const hd::Node& node, std::int32_t index) {
  return index >= 0 && static_cast<std::size_t>(index) < node.items.size();
}

// Fixed font metrics of the headless screen: the character height is the
// font's height in pixels (11 for the default font), the average character
// width half of it, the line height the character height plus 2 pixels of
// internal leading. Lines end at CR, LF or CR LF; no word wrapping.
struct TextExtent {
  std::int32_t width;
  std::int32_t height;
};

TextExtent MeasureText(const Font& font, std::string_view text) {
  std::int32_t pixels = font.height < 0 ? -font.height : font.height;
  if (pixels == 0) pixels = 11;
  const std::int64_t average = pixels / 2;
  const std::int64_t lineHeight = pixels + 2;
  std::int64_t longest = 0;
  std::int64_t lines = 1;
  std::int64_t current = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      longest = std::max(longest, current);
      current = 0;
      ++lines;
    } else {
      ++current;
    }
  }
  if (font.italic) ++current;  // the slant overhangs: one space more
  longest = std::max(longest, current);
  constexpr std::int64_t kLimit = 1 << 24;
  return {static_cast<std::int32_t>(std::min(longest * average, kLimit)),
          static_cast<std::int32_t>(std::min(lines * lineHeight, kLimit))};
}

}  // namespace

namespace headless::detail {

std::string ShownText(const Node& node) {
  if (node.control == ControlKind::Edit && node.kind == NodeKind::Control && node.options.password) {
    return std::string(node.text.size(), '*');
  }
  return node.text;
}

// A label's AutoSize.
void FitToText(Node& node) {
  if (!node.exists) return;
  const TextExtent extent = MeasureText(node.font, node.text);
  ApplyBounds(node, rules::FittedToText(node.bounds, node.align, extent.width, extent.height));
}

// WM_SETTEXT: an edit field reports every text set (EN_CHANGE) and puts the
// caret at the start; a drop-down list can show only one of its items, so it
// selects an item of exactly that text or keeps what it shows.
void SetNodeText(Node& node, std::string_view text) {
  if (!node.exists) return;
  if (node.kind != NodeKind::Control) {
    node.text = text;
    return;
  }
  switch (node.control) {
    case ControlKind::Edit:
      node.text = text;
      node.caret = 0;
      NotifyTextChanged(node);
      return;
    case ControlKind::ComboBox:
      if (node.options.editable) {
        node.text = text;
        return;
      }
      for (std::size_t i = 0; i < node.items.size(); ++i) {
        if (node.items[i].text == text) {
          SelectItem(node, static_cast<std::int32_t>(i));
          return;
        }
      }
      return;
    case ControlKind::Label:
    case ControlKind::Picture:
      node.text = text;
      if (node.autoSize) FitToText(node);
      return;
    default:
      node.text = text;
      return;
  }
}

// CB_SETCURSEL: the edit field shows the selected item's text, and nothing
// when no item is selected.
void SelectItem(Node& node, std::int32_t index) {
  if (!IsCombo(node)) return;
  if (!ValidItem(node, index)) {
    node.selected = -1;
    node.text.clear();
    return;
  }
  node.selected = index;
  node.text = node.items[static_cast<std::size_t>(index)].text;
}

void NotifyClicked(Node& node) {
  if (node.exists && node.handler != nullptr) node.handler->Clicked();
}

void NotifyTextChanged(Node& node) {
  if (node.exists && node.handler != nullptr) node.handler->TextChanged();
}

}  // namespace headless::detail

std::unique_ptr<Control> Control::Create(ControlKind kind, Window& parent, std::string_view text,
                                         const Options& options) {
  hd::RegisterWindowThread();
  auto impl = std::make_unique<Impl>();
  hd::Node& node = *impl;
  const rules::ControlClass made = rules::ClassOf(kind);
  node.control = kind;
  node.options = options;
  node.style = rules::CreationStyle(kind, options);
  node.bounds = {0, 0, made.width, made.height};
  hd::Node* owner = parent.impl_.get();
  node.color = owner->color;
  // A picture area carries no text, and a drop-down list shows only items.
  const bool keepsText = kind != ControlKind::Picture && !(kind == ControlKind::ComboBox && !options.editable);
  if (keepsText) node.text = text;
  std::unique_ptr<Control> control(new Control(std::move(impl)));
  hd::Adopt(node, *control, hd::NodeKind::Control, owner);
  return control;
}

ControlKind Control::Kind() const { return impl_->control; }

void Control::SetTransparent(bool transparent) {
  if (impl_->exists) impl_->transparent = transparent;
}

void Control::SetAlignment(std::uint8_t alignment) {
  hd::Node& node = *impl_;
  if (!node.exists) return;
  node.alignment = alignment;
  node.style = rules::AlignedStyle(node.control, node.style, alignment);
}

void Control::SetAutoSize(bool autoSize) {
  if (!impl_->exists) return;
  impl_->autoSize = autoSize;
  if (autoSize) hd::FitToText(*impl_);
}

void Control::SetDefault(bool isDefault) {
  hd::Node& node = *impl_;
  if (!node.exists || node.control != ControlKind::Button) return;
  // A form has one default button: a new one takes the place of the old.
  if (isDefault) {
    if (hd::Node* form = hd::FormOf(node)) MakeOrdinary(*form);
  }
  node.isDefault = isDefault;
  node.style = rules::PushButtonStyle(node.style, isDefault);
}

std::int32_t Control::Caret() const { return impl_->caret; }

void Control::SetCaret(std::int32_t position) {
  if (!impl_->exists) return;
  const auto length = static_cast<std::int64_t>(impl_->text.size());
  impl_->caret = static_cast<std::int32_t>(std::clamp<std::int64_t>(position, 0, length));
}

std::int32_t Control::AddItem(std::string_view text) {
  hd::Node& node = *impl_;
  if (!IsCombo(node)) return -1;
  std::size_t at = node.items.size();
  if (node.options.sorted) {
    at = static_cast<std::size_t>(
        std::upper_bound(node.items.begin(), node.items.end(), text,
                         [](std::string_view t, const hd::Item& item) { return SortsBefore(t, item.text); }) -
        node.items.begin());
  }
  return InsertAt(node, at, text);
}

std::int32_t Control::InsertItem(std::int32_t index, std::string_view text) {
  hd::Node& node = *impl_;
  if (!IsCombo(node)) return -1;
  // -1 and an index past the end append.
  if (index < 0 || static_cast<std::size_t>(index) > node.items.size()) return InsertAt(node, node.items.size(), text);
  return InsertAt(node, static_cast<std::size_t>(index), text);
}

std::int32_t Control::ItemCount() const { return static_cast<std::int32_t>(impl_->items.size()); }

std::string Control::ItemText(std::int32_t index) const {
  return ValidItem(*impl_, index) ? impl_->items[static_cast<std::size_t>(index)].text : std::string();
}

void Control::SetItemText(std::int32_t index, std::string_view text) {
  hd::Node& node = *impl_;
  if (!IsCombo(node) || !ValidItem(node, index)) return;
  node.items[static_cast<std::size_t>(index)].text = text;
  if (node.selected == index) hd::SelectItem(node, index);
}

void Control::SetItemData(std::int32_t index, std::int32_t data) {
  if (IsCombo(*impl_) && ValidItem(*impl_, index)) impl_->items[static_cast<std::size_t>(index)].data = data;
}

std::int32_t Control::ItemData(std::int32_t index) const {
  return ValidItem(*impl_, index) ? impl_->items[static_cast<std::size_t>(index)].data : -1;
}

void Control::ClearItems() {
  // CB_RESETCONTENT empties the edit field too.
  if (!IsCombo(*impl_)) return;
  impl_->items.clear();
  hd::SelectItem(*impl_, -1);
}

std::int32_t Control::Selected() const { return impl_->selected; }

void Control::Select(std::int32_t index) { hd::SelectItem(*impl_, index); }

void Control::BeginRebuild(std::int32_t /*sizeHint*/) {
  if (!IsCombo(*impl_)) return;
  impl_->redraw = false;
  ClearItems();
}

void Control::EndRebuild() {
  if (!impl_->exists) return;
  impl_->redraw = true;
  ++impl_->paints;
}

void Control::SetRange(std::int32_t low, std::int32_t high) {
  if (!impl_->exists) return;
  impl_->rangeLow = low;
  impl_->rangeHigh = high;
  SetPosition(impl_->position);
}

void Control::SetPosition(std::int32_t position) {
  hd::Node& node = *impl_;
  if (!node.exists) return;
  const std::int32_t low = std::min(node.rangeLow, node.rangeHigh);
  const std::int32_t high = std::max(node.rangeLow, node.rangeHigh);
  node.position = std::clamp(position, low, high);
}

std::int32_t Control::Position() const { return impl_->position; }

void Control::SetBarColor(Color color) {
  if (impl_->exists) impl_->barColor = color;
}

}  // namespace vn::toolkit

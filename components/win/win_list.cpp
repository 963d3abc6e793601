#include "components/win/win_list.h"

#include <algorithm>
#include <limits>

#include "components/win/text_lines.h"
#include "core/conversions.h"
#include "core/dispatch.h"
#include "core/scheme_lock.h"

namespace vn {

TVNWinList::TVNWinList(toolkit::Window& parentWindow) : TVNWin(parentWindow) {}

void TVNWinList::doAdd(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  const RcString text = ReadString(data, Str, RcString());
  std::int32_t added = -1;
  toolkit::RunOnWindowThread([this, &text, &added] {
    if (!HasControl()) return;
    added = AddToTop ? Control->InsertItem(0, text.view()) : AddItem(text.view());
    if (SelectAdded) SelectIndex(added);
  });
  TData itemData;
  ReadData(data, ItemData, nullptr, itemData);
  if (IsInteger(itemData) && added >= 0) {
    toolkit::RunOnWindowThread([this, added, value = itemData.IData] {
      if (HasControl()) Control->SetItemData(added, value);
    });
  }
  DeferNull(data, onChange);
}

void TVNWinList::CollectItems() {
  if (!HasControl()) return;
  const std::int32_t count = Control->ItemCount();
  for (std::int32_t i = 0; i < count; ++i) Lines.push_back(Control->ItemText(i));
}

void TVNWinList::BeginRebuild(std::int32_t sizeHint) {
  if (HasControl()) Control->BeginRebuild(sizeHint);
}

void TVNWinList::EndRebuild() {
  if (HasControl()) Control->EndRebuild();
}

std::int32_t TVNWinList::AddItem(std::string_view text) {
  return HasControl() ? Control->AddItem(text) : -1;
}

void TVNWinList::SelectIndex(std::int32_t index) {
  if (!HasControl()) return;
  Control->Select(index >= 0 && index < Control->ItemCount() ? index : -1);
}

void TVNWinList::SetItem(const TData& index, const TData& text) {
  SchemeChain chain;
  const std::int32_t at = ToIndex(index);
  const RcString newText = ToString(text);
  toolkit::RunOnWindowThread([this, at, &newText] {
    if (!HasControl() || at < 0 || at >= Control->ItemCount()) return;
    const std::int32_t selected = Control->Selected();
    Control->SetItemText(at, newText.view());
    Control->Select(selected);
  });
}

void TVNWinList::doClear(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  toolkit::RunOnWindowThread([this] {
    if (HasControl()) Control->ClearItems();
  });
  DeferNull(data, onChange);
}

void TVNWinList::varText(TData& data, std::uint16_t /*index*/) {
  SchemeChain chain;
  toolkit::RunOnWindowThread([this] {
    Lines.clear();
    CollectItems();
  });
  dtString(data, RcString(JoinLines(Lines)));
  Lines.clear();
}

void TVNWinList::SelectionHandler() {
  const std::int32_t selected = Control->Selected();
  TData value;
  if (ClickMode == 1) {
    dtString(value, RcString(Control->ItemText(selected)));
  } else {
    dtInteger(value, selected);
  }
  // Item data rides after the value as a second value of the chain.
  TData itemData;
  const std::int32_t stored = Control->ItemData(selected);
  if (stored != -1) {
    dtInteger(itemData, stored);
    value.Next = &itemData;
  }
  FireEvent(onClick, value);
}

void TVNLWinList::SetStrings(std::string_view text) {
  const std::size_t hint = std::min<std::size_t>(text.size(), std::numeric_limits<std::int32_t>::max());
  BeginRebuild(static_cast<std::int32_t>(hint));
  for (const std::string_view line : SplitLines(text)) AddItem(line);
  EndRebuild();
}

}  // namespace vn

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "components/win/win.h"
#include "core/point_link.h"
#include "core/tdata.h"

namespace vn {

// Base of the window components that show a list of text items. The items
// live only in the control.
class TVNWinList : public TVNWin {
 public:
  explicit TVNWinList(toolkit::Window& parentWindow);

  std::vector<std::string> Lines;  // scratch list while varText is built
  bool AddToTop = false;
  bool SelectAdded = false;
  std::uint8_t ClickMode = 0;  // 1: onClick sends the item's text, else its index
  TPointLink Str;
  TPointLink ItemData;
  TPointLink onChange;
  TPointLink onClick;

  // Adds the text (then stores the item data) taken from the points or,
  // when they are not connected, from the incoming chain in that order.
  void doAdd(TData& data, std::uint16_t index);

  virtual void CollectItems();
  virtual void SetStrings(std::string_view text) = 0;
  virtual void BeginRebuild(std::int32_t sizeHint);
  virtual void EndRebuild();
  // Appends without selecting; the new index, or -1.
  virtual std::int32_t AddItem(std::string_view text);
  // Out of range selects nothing.
  virtual void SelectIndex(std::int32_t index);
  // Changes the text of a valid item; it keeps its data and the selection.
  virtual void SetItem(const TData& index, const TData& text);
  virtual void doClear(TData& data, std::uint16_t index);
  // All item texts joined by CR LF.
  virtual void varText(TData& data, std::uint16_t index);

 protected:
  void SelectionHandler() override;
};

// A list that can be loaded whole from one text, a line per item.
class TVNLWinList : public TVNWinList {
 public:
  using TVNWinList::TVNWinList;

  void SetStrings(std::string_view text) override;
};

}  // namespace vn

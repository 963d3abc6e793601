#include "components/win/combo_box.h"

#include <string>
#include <vector>

#include "tests/components/win/win_test_fixture.h"

namespace vn::test {
namespace {

using Items = std::vector<std::string>;

class ComboBoxTest : public WinTest {
 protected:
  // As the main scheme makes the port list.
  void Make(TVNComboBox& combo) {
    combo.Editable = true;
    combo.ClickMode = 1;
    combo.onChange = changes.Link();
    combo.onClick = clicks.Link();
    Place(combo, 10, 10, 120, 22);
  }
  static void Add(TVNComboBox& combo, TData value) {
    FireEvent(MakePoint<&TVNComboBox::doAdd>(0, &combo), value);
  }

  Journal journal;
  ChainLog changes{&journal, "change"};
  ChainLog clicks{&journal, "click"};
};

TEST_F(ComboBoxTest, AddedPortsKeepTheirOrderAndPickingFiresTheTextOrIndex) {
  TVNComboBox combo(Parent());
  Make(combo);
  Start();
  for (const char* port : {"COM1", "COM3", "COM4", "COM7"}) Add(combo, Str(port));
  EXPECT_EQ(View(combo).items, (Items{"COM1", "COM3", "COM4", "COM7"}));
  EXPECT_EQ(View(combo).selected, -1);
  EXPECT_EQ(journal, Journal(4, "change=N"));
  journal.clear();
  ASSERT_TRUE(hl::Pick(*combo.Control, 1));
  combo.ClickMode = 0;
  ASSERT_TRUE(hl::Pick(*combo.Control, 2));
  EXPECT_EQ(journal, (Journal{"click=S:COM3 I:0", "click=I:2 I:0"}));
  EXPECT_EQ(View(combo).text, "COM4");
}

TEST_F(ComboBoxTest, AddTakesTextThenItemDataFromTheIncomingChain) {
  TVNComboBox combo(Parent());
  Make(combo);
  Start();
  std::vector<TData> chain = {Str("COM9"), Int(42)};
  Add(combo, LinkChain(chain));
  std::vector<TData> notInteger = {Str("COM10"), Str("7")};
  Add(combo, LinkChain(notInteger));
  EXPECT_EQ(View(combo).itemData, (std::vector<std::int32_t>{42, 0}));
  journal.clear();
  hl::Pick(*combo.Control, 0);
  EXPECT_EQ(journal, (Journal{"click=S:COM9 I:42"}));

  Answer text{Str("from point")}, data{Int(-1)};  // -1 is "no item data"
  combo.Str = text.Link();
  combo.ItemData = data.Link();
  Add(combo, Int(3));
  journal.clear();
  hl::Pick(*combo.Control, 2);
  EXPECT_EQ(journal, (Journal{"click=S:from point"}));
}

TEST_F(ComboBoxTest, ClearReportsAChangeEvenWhenEmpty) {
  TVNComboBox combo(Parent());
  Make(combo);
  Start();
  FireNull(MakePoint<&TVNComboBox::doClear>(0, &combo));
  Add(combo, Str("x"));
  FireNull(MakePoint<&TVNComboBox::doClear>(0, &combo));
  EXPECT_TRUE(View(combo).items.empty());
  EXPECT_EQ(journal, Journal(3, "change=N"));
}

TEST_F(ComboBoxTest, TypingIntoTheFieldFiresNothing) {
  TVNComboBox combo(Parent());
  Make(combo);
  Start();
  Add(combo, Str("COM1"));
  journal.clear();
  hl::Focus(*combo.Control);
  hl::Type("COM5");
  EXPECT_EQ(View(combo).text, "COM5");
  EXPECT_TRUE(journal.empty());
}

}  // namespace
}  // namespace vn::test

#include "components/win/edit.h"

#include "tests/components/win/win_test_fixture.h"

namespace vn::test {
namespace {

class EditTest : public WinTest {
 protected:
  // An edit as the main scheme makes one: TextGetter reads the field.
  void Make(TVNEdit& edit, const char* text = "") {
    edit.Text = text;
    edit.TextGetter = edit.OwnTextReader();
    Place(edit, 10, 10, 150, 22);
  }
};

TEST_F(EditTest, InitPutsTheTextAndOptionsInTheField) {
  TVNEdit edit(Parent());
  edit.ReadOnly = true;
  edit.Alignment = 1;
  Make(edit, "COM3");
  const hl::WindowView view = View(edit);
  EXPECT_EQ(view.text, "COM3");
  EXPECT_EQ(view.alignment, 1);
  EXPECT_EQ(view.style & 0x800u, 0x800u);  // ES_READONLY
}

TEST_F(EditTest, DoTextKeepsTheCaretAndReportsTheChange) {
  TVNEdit edit(Parent());
  Journal journal;
  ChainLog changes{&journal, "change"};
  edit.onChange = changes.Link();
  Make(edit, "initial");  // the first change (the initial text) is not reported
  EXPECT_TRUE(edit.ChangeArmed);
  Start();
  edit.Control->SetCaret(3);
  TData value = Int(12345);
  edit.doText(value, 0);
  EXPECT_EQ(View(edit).text, "12345");
  EXPECT_EQ(View(edit).caret, 3);
  TData empty;
  edit.doText(empty, 0);
  EXPECT_EQ(View(edit).caret, 0);  // past the end of the new text
  EXPECT_EQ(journal, (Journal{"change=S:12345", "change=S:"}));
}

TEST_F(EditTest, VarTextAnswersTheFieldOrNull) {
  TVNEdit readOnly(Parent());
  readOnly.ReadOnly = true;
  Make(readOnly);
  TData answer = Int(5);
  readOnly.varText(answer, 0);
  EXPECT_EQ(ChainText(answer), "S:");  // an empty text is still a String

  TVNEdit noGetter(Parent());
  noGetter.Init();
  answer = Int(5);
  noGetter.varText(answer, 0);
  EXPECT_EQ(answer.DataType, TagNull);

  TVNEdit notMade(Parent());  // before Init there is no field to read
  notMade.TextGetter = notMade.OwnTextReader();
  answer = Int(5);
  notMade.varText(answer, 0);
  EXPECT_EQ(answer.DataType, TagNull);
}

}  // namespace
}  // namespace vn::test

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

// Calls doText of an edit from inside an event.
struct SetTextOnEvent {
  TVNEdit* edit;
  const char* text;
  void doEvent(TData&, std::uint16_t) {
    TData value = Str(text);
    edit->doText(value, 0);
  }
  TPointLink Link() { return MakePoint<&SetTextOnEvent::doEvent>(0, this); }
};

TEST_F(EditTest, InitPutsTheTextAndOptionsInTheField) {
  TVNEdit edit(Parent());
  edit.Password = true;
  edit.ReadOnly = true;
  edit.Alignment = 1;
  Make(edit, "secret");
  const hl::WindowView view = View(edit);
  EXPECT_EQ(view.text, "secret");
  EXPECT_EQ(view.shown, "******");
  EXPECT_EQ(view.alignment, 1);
  EXPECT_EQ(view.style & 0x820u, 0x820u);  // ES_READONLY | ES_PASSWORD
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

TEST_F(EditTest, EnterWithoutOnEnterIsAnOrdinaryKey) {
  TVNEdit edit(Parent());
  Recorder keys;
  edit.onKeyDown = keys.Link();
  Make(edit, "COM3");
  Start();
  hl::Focus(*edit.Control);
  hl::PressKey(13);
  ASSERT_GE(keys.Count(), 1u);
  EXPECT_EQ(ChainText(keys.hits.front().value), "I:13");
  EXPECT_EQ(View(edit).text, "COM3");
}

TEST_F(EditTest, EnterFiresOnEnterAndClearsTheFieldUnreported) {
  TVNEdit edit(Parent());
  Journal journal;
  ChainLog enter{&journal, "enter"}, change{&journal, "change"}, key{&journal, "key"}, press{&journal, "press"};
  edit.onEnter = enter.Link();
  edit.onChange = change.Link();
  edit.onKeyDown = key.Link();
  edit.onKeyPress = press.Link();
  Make(edit, "VERS");
  Start();
  hl::Focus(*edit.Control);
  hl::PressKey(13);
  EXPECT_EQ(journal, (Journal{"enter=S:VERS"}));  // no key, character or change event
  EXPECT_EQ(View(edit).text, "");
  // The next change of the user's is reported again.
  hl::Type("x");
  EXPECT_EQ(journal.back(), "change=S:x");
}

TEST_F(EditTest, TextSetDuringOnEnterStays) {
  TVNEdit edit(Parent());
  Journal journal;
  ChainLog change{&journal, "change"};
  SetTextOnEvent answer{&edit, "answer"};
  edit.onEnter = answer.Link();
  edit.onChange = change.Link();
  Make(edit, "question");
  Start();
  hl::Focus(*edit.Control);
  hl::PressKey(13);
  EXPECT_EQ(View(edit).text, "answer");
  EXPECT_FALSE(edit.EnterPending);
  EXPECT_EQ(journal, (Journal{"change=S:answer"}));
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

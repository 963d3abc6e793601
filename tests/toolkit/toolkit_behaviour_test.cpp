// What the controls do, the same on every screen: this suite runs against
// the headless backend natively and against the Win32 backend under wine.
#include <atomic>
#include <climits>
#include <thread>

#include "core/scheme_lock.h"
#include "tests/toolkit/behaviour_fixture.h"
#include "toolkit/control_rules.h"

namespace vn::toolkit::test {
namespace {

TEST_F(BehaviourTest, ControlsAreMadeAsTheirKindsRulesSay) {
  const struct {
    ControlKind kind;
    Control::Options options;
  } cases[] = {
      {ControlKind::Label, {}},
      {ControlKind::Picture, {}},
      {ControlKind::Button, {}},
      {ControlKind::Edit, {.password = true, .readOnly = true}},
      {ControlKind::ComboBox, {}},
      {ControlKind::ComboBox, {.editable = true, .sorted = true}},
      {ControlKind::ProgressBar, {.vertical = true, .smooth = true}},
  };
  // Bits that a class may change itself: the edit's border becomes an edge,
  // a combo box gets its list's scroll bar.
  constexpr std::uint32_t kClassOwned = 0x00800000 | 0x00200000;  // WS_BORDER, WS_VSCROLL
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    Control& control = Make(c.kind, "x", c.options);
    EXPECT_EQ(control.Kind(), c.kind);
    EXPECT_EQ(control.Style() | kClassOwned, rules::CreationStyle(c.kind, c.options) | kClassOwned);
    EXPECT_TRUE(control.Visible());
    if (c.kind != ControlKind::ComboBox) {  // its height covers the dropped list
      const rules::ControlClass made = rules::ClassOf(c.kind);
      EXPECT_EQ(control.Bounds(), (Rect{0, 0, made.width, made.height}));
    }
  }
}

struct SelectionCount : Handler {
  int count = 0;
  void SelectionChanged() override { ++count; }
};

TEST_F(BehaviourTest, ComboBoxKeepsItemsInOrderWithTheirData) {
  Control& combo = Make(ControlKind::ComboBox, "", {.editable = true});
  SelectionCount selections;
  combo.SetHandler(&selections);
  for (const char* name : {"COM1", "COM3", "COM4", "COM7"}) combo.AddItem(name);
  EXPECT_EQ(combo.ItemCount(), 4);
  EXPECT_EQ(combo.Selected(), -1);  // adding selects nothing
  EXPECT_EQ(combo.ItemText(0), "COM1");
  EXPECT_EQ(combo.ItemText(3), "COM7");
  EXPECT_EQ(combo.ItemText(4), "");
  EXPECT_EQ(combo.ItemText(-1), "");
  EXPECT_EQ(combo.ItemData(1), 0);  // items added without data answer 0
  EXPECT_EQ(combo.ItemData(4), -1);

  combo.SetItemData(1, 77);
  combo.Select(1);
  EXPECT_EQ(combo.Selected(), 1);
  EXPECT_EQ(combo.Text(), "COM3");  // the edit field shows the pick

  combo.SetItemText(1, "Порт 3");
  EXPECT_EQ(combo.ItemText(1), "Порт 3");
  EXPECT_EQ(combo.ItemData(1), 77);
  EXPECT_EQ(combo.Selected(), 1);
  combo.SetItemText(9, "ничего");
  EXPECT_EQ(combo.ItemCount(), 4);

  EXPECT_EQ(combo.InsertItem(0, "COM0"), 0);
  EXPECT_EQ(combo.ItemText(0), "COM0");
  EXPECT_EQ(combo.Selected(), 2);  // the selected item moved with the insertion
  EXPECT_EQ(combo.InsertItem(99, "COM9"), 5);  // past the end appends
  EXPECT_EQ(combo.ItemText(5), "COM9");

  combo.Select(6);
  EXPECT_EQ(combo.Selected(), -1);
  EXPECT_EQ(combo.Text(), "");
  combo.Select(-5);
  EXPECT_EQ(combo.Selected(), -1);

  combo.BeginRebuild(64);
  EXPECT_EQ(combo.ItemCount(), 0);
  combo.AddItem("x");
  combo.EndRebuild();
  EXPECT_EQ(combo.ItemCount(), 1);
  combo.Select(0);
  combo.ClearItems();
  EXPECT_EQ(combo.ItemCount(), 0);
  EXPECT_EQ(combo.Text(), "");
  EXPECT_EQ(selections.count, 0);  // the program's own selections are not reported
  combo.SetHandler(nullptr);
}

TEST_F(BehaviourTest, SortedComboBoxIgnoresLetterCase) {
  Control& combo = Make(ControlKind::ComboBox, "", {.sorted = true});
  for (const char* name : {"b", "C", "a", "Б", "а"}) combo.AddItem(name);
  std::vector<std::string> items;
  for (int i = 0; i < combo.ItemCount(); ++i) items.push_back(combo.ItemText(i));
  EXPECT_EQ(items, (std::vector<std::string>{"a", "b", "C", "а", "Б"}));
}

TEST_F(BehaviourTest, ProgressPositionIsClampedToTheRange) {
  Control& bar = Make(ControlKind::ProgressBar, "", {.smooth = true});
  bar.SetRange(0, 507);
  const struct {
    std::int32_t given;
    std::int32_t shown;
  } cases[] = {{0, 0}, {200, 200}, {507, 507}, {508, 507}, {-3, 0}, {INT32_MAX, 507}, {INT32_MIN, 0}};
  for (const auto& c : cases) {
    bar.SetPosition(c.given);
    EXPECT_EQ(bar.Position(), c.shown) << c.given;
  }
}

struct TextChanges : Handler {
  int heard = 0;
  void TextChanged() override { ++heard; }
};

TEST_F(BehaviourTest, SettingAnEditsTextReportsAChangeAndPutsTheCaretAtTheStart) {
  Control& edit = Make(ControlKind::Edit, "начало");
  TextChanges changes;
  edit.SetHandler(&changes);
  edit.SetCaret(5);
  edit.SetText("абвгде");
  edit.SetText("абвгде");
  EXPECT_EQ(changes.heard, 2);  // every time, inside SetText
  EXPECT_EQ(edit.Text(), "абвгде");
  EXPECT_EQ(edit.Caret(), 0);
  edit.SetCaret(3);
  EXPECT_EQ(edit.Caret(), 3);
  edit.SetCaret(100);
  EXPECT_EQ(edit.Caret(), 6);
  edit.SetCaret(-1);
  EXPECT_EQ(edit.Caret(), 0);
  edit.SetHandler(nullptr);
}

// The style bits themselves are pinned in ControlRulesTest.
TEST_F(BehaviourTest, AlignmentReachesALabelAndKeepsTheEditsText) {
  Control& label = Make(ControlKind::Label);
  label.SetAlignment(1);
  label.SetAlignment(2);
  EXPECT_EQ(label.Style(), rules::AlignedStyle(ControlKind::Label, rules::CreationStyle(ControlKind::Label, {}), 2));
  // An edit field may be made anew for its alignment: it keeps its text,
  // bounds, options and handler.
  Control& edit = Make(ControlKind::Edit, "", {.readOnly = true});
  TextChanges changes;
  edit.SetHandler(&changes);
  edit.SetText("справа");
  edit.SetBounds({5, 6, 105, 28});
  edit.SetAlignment(1);
  EXPECT_EQ(edit.Style() & 0x3u, 0x2u);  // ES_RIGHT
  edit.SetAlignment(2);
  EXPECT_EQ(edit.Style() & 0x3u, 0x1u);  // ES_CENTER
  EXPECT_EQ(edit.Style() & 0x800u, 0x800u);  // ES_READONLY
  EXPECT_EQ(edit.Text(), "справа");
  EXPECT_EQ(edit.Bounds(), (Rect{5, 6, 105, 28}));
  const int before = changes.heard;
  edit.SetText("новый");
  EXPECT_EQ(changes.heard, before + 1);
  edit.SetHandler(nullptr);
}

TEST_F(BehaviourTest, DockedControlsFillTheirSides) {
  form->SetBounds({0, 0, 400, 300});
  form->SetAlignSpacing(4);
  const Rect client = form->ClientRect();
  Control& top = Make(ControlKind::Label);
  top.SetBounds({0, 0, 50, 24});
  top.SetAlign(Align::Top);
  Control& left = Make(ControlKind::Label);
  left.SetBounds({0, 0, 30, 10});
  left.SetAlign(Align::Left);
  Control& rest = Make(ControlKind::Label);
  rest.SetAlign(Align::Client);

  EXPECT_EQ(top.Bounds(), (Rect{4, 4, client.right - 4, 28}));
  EXPECT_EQ(left.Bounds(), (Rect{4, 32, 34, client.bottom - 4}));
  EXPECT_EQ(rest.Bounds(), (Rect{38, 32, client.right - 4, client.bottom - 4}));

  // A hidden docked control gives its place up.
  top.SetVisible(false);
  EXPECT_EQ(left.Bounds(), (Rect{4, 4, 34, client.bottom - 4}));
  // The layout follows the form's size.
  form->SetBounds({0, 0, 500, 300});
  EXPECT_EQ(rest.Bounds().right, form->ClientRect().right - 4);
}

constexpr std::uint16_t kTab = 0x09, kEnter = 0x0D, kSpace = 0x20, kDown = 0x28;

TEST_F(BehaviourTest, TabMovesTheFocusAmongVisibleEnabledTabStopsInTheirOrder) {
  ShowForm();
  Control& first = Make(ControlKind::Button, "first");
  Make(ControlKind::Label, "not a stop");
  Control& edit = Make(ControlKind::Edit);
  Make(ControlKind::Button, "hidden").SetVisible(false);
  Make(ControlKind::Button, "disabled").SetEnabled(false);
  Control& combo = Make(ControlKind::ComboBox, "", {.editable = true});
  GiveFocus(first);
  PressKey(kTab);
  EXPECT_TRUE(HasFocus(edit));
  PressKey(kTab);
  EXPECT_TRUE(HasFocus(combo));
  PressKey(kTab);
  EXPECT_TRUE(HasFocus(first));
  PressKey(kTab, /*shift=*/true);
  EXPECT_TRUE(HasFocus(combo));

  // A place of its own puts the combo box first (the others move one place
  // back); a negative one takes the edit out of the sequence.
  combo.SetTabOrder(1);
  edit.SetTabOrder(-1);
  GiveFocus(combo);
  PressKey(kTab);
  EXPECT_TRUE(HasFocus(first));
  PressKey(kTab);
  EXPECT_TRUE(HasFocus(combo));
}

// The hook may change the size that a call proposes, also on a move that
// keeps the size (the size is proposed all the same); a consumed size
// message is not reported.
TEST_F(BehaviourTest, HookMayChangeTheProposedSizeAndConsumeTheSizeMessage) {
  Control& label = Make(ControlKind::Label);
  Spy& spy = Watch(label, "l");
  spy.logged = {message::WindowPosChanging, message::Move, message::Size};
  spy.hook = [](Message& m) {
    if (m.id == message::WindowPosChanging) m.position->height += 5;
    return false;
  };
  label.SetBounds({10, 20, 110, 50});
  EXPECT_EQ(label.Bounds(), (Rect{10, 20, 110, 55}));
  EXPECT_EQ(log, (Log{"l:0x46(0)", "l:0x3(0)", "l:0x5(0)", "l:resized"}));

  log.clear();
  label.SetBounds({30, 20, 130, 55});  // moved, the size as it is
  EXPECT_EQ(label.Bounds(), (Rect{30, 20, 130, 60}));
  EXPECT_EQ(log, (Log{"l:0x46(0)", "l:0x3(0)", "l:0x5(0)", "l:resized"}));

  log.clear();
  spy.hook = [](Message& m) { return m.id == message::Size; };
  label.SetBounds({30, 20, 40, 30});
  EXPECT_EQ(log, (Log{"l:0x46(0)", "l:0x5(0)"}));
}

// A label or picture reports its click as the button goes down, a push
// button as it comes up; the push button takes the focus, and Space on it
// presses it again.
TEST_F(BehaviourTest, ClicksOfLabelsPicturesAndButtons) {
  ShowForm();
  Control& label = Make(ControlKind::Label, "label");
  Control& picture = Make(ControlKind::Picture);
  Control& button = Make(ControlKind::Button, "button");
  label.SetBounds({0, 0, 50, 20});
  picture.SetBounds({0, 30, 50, 60});
  button.SetBounds({0, 70, 50, 100});
  Watch(label, "l");
  Watch(picture, "p");
  Watch(button, "b");
  Click(label);
  Click(picture);
  Click(button);
  EXPECT_EQ(log, (Log{"l:move", "l:down", "l:clicked", "l:up", "p:move", "p:down", "p:clicked", "p:up", "b:move",
                      "b:down", "b:up", "b:clicked"}));
  EXPECT_TRUE(HasFocus(button));

  log.clear();
  PressKey(kSpace);
  EXPECT_EQ(log, (Log{"b:keydown 32", "b:char 32", "b:keyup 32", "b:clicked"}));
}

TEST_F(BehaviourTest, KeyDownTakenAwaySwallowsItsCharacter) {
  ShowForm();
  Control& edit = Make(ControlKind::Edit);
  Spy& spy = Watch(edit, "e");
  GiveFocus(edit);
  PressKey('A');
  EXPECT_EQ(log, (Log{"e:keydown 65", "e:char 97", "e:changed", "e:keyup 65"}));
  EXPECT_EQ(edit.Text(), "a");

  log.clear();
  spy.keyDownBecomes = 0;
  PressKey('B');
  EXPECT_EQ(log, (Log{"e:keydown 66", "e:keyup 66"}));
  EXPECT_EQ(edit.Text(), "a");
}

// A handler reading the combo box's text on a selection change reads the
// new item's, and typing changes no selection.
TEST_F(BehaviourTest, ComboSelectionIsReportedAfterTheFieldShowsIt) {
  ShowForm();
  Control& combo = Make(ControlKind::ComboBox, "", {.editable = true});
  for (const char* port : {"COM1", "COM3", "COM4"}) combo.AddItem(port);
  Spy& spy = Watch(combo, "c");
  spy.onSelection = [&] { spy.Note("text " + combo.Text()); };
  GiveFocus(combo);
  PressKey(kDown);
  PressKey(kDown);
  EXPECT_EQ(combo.Selected(), 1);
  EXPECT_EQ(log, (Log{"c:keydown 40", "c:selection", "c:text COM1", "c:keyup 40", "c:keydown 40", "c:selection",
                      "c:text COM3", "c:keyup 40"}));

  log.clear();
  PressKey('X');
  EXPECT_EQ(std::count(log.begin(), log.end(), "c:selection"), 0);
}

// Every close request says who asked: the user (0), refused here as a
// keep-open rule would, or the scheme (1). An accepted close of another
// form takes only that form; of the main form, every window, and the
// message loop ends.
TEST_F(BehaviourTest, TheMainFormsAcceptedCloseEndsTheLoop) {
  std::unique_ptr<Form> second = Form::Create("Second");
  std::unique_ptr<Form> other = Form::Create("Other");
  Control& button = Make(ControlKind::Button, "b");
  Spy& main = Watch(*form, "main");
  main.logged = {message::Close};
  main.hook = [](Message& m) { return m.id == message::Close && m.wParam == 0; };
  Watch(*second, "second");
  Watch(*other, "other");
  Watch(button, "button");
  Form& application = Application::MainWindow();
  Watch(application, "application");  // takes itself down: hears nothing

  second->RequestClose(/*byScheme=*/true);
  EXPECT_EQ(log, (Log{"second:destroyed"}));
  EXPECT_TRUE(form->Exists());

  log.clear();
  form->RequestClose(/*byScheme=*/false);
  EXPECT_EQ(log, (Log{"main:0x10(0)"}));
  EXPECT_TRUE(form->Exists());

  log.clear();
  std::thread scheme([&] { RunOnWindowThread([&] { form->RequestClose(/*byScheme=*/true); }); });
  Application::Run();  // returns once the handed-over close has ended the program
  scheme.join();
  EXPECT_FALSE(form->Exists());
  EXPECT_FALSE(other->Exists());
  EXPECT_FALSE(button.Exists());
  EXPECT_FALSE(Application::HasMainWindow());
  std::sort(log.begin(), log.end());
  EXPECT_EQ(log, (Log{"button:destroyed", "main:0x10(1)", "main:destroyed", "other:destroyed"}));
  application.SetHandler(nullptr);  // the application window outlives this test's spies
}

struct Clicks : Handler {
  int count = 0;
  void Clicked() override { ++count; }
};

struct KeyTaker : Handler {
  bool taking = false;
  void KeyDown(std::uint16_t& key) override {
    if (taking) key = 0;
  }
};

TEST_F(BehaviourTest, EnterPressesTheDefaultButtonUnlessAnotherButtonHasTheFocus) {
  ShowForm();
  Control& edit = Make(ControlKind::Edit);
  Control& other = Make(ControlKind::Button, "Другая");
  Control& ok = Make(ControlKind::Button, "OK");
  Clicks clicks;
  KeyTaker taker;
  ok.SetHandler(&clicks);
  edit.SetHandler(&taker);
  other.SetDefault(true);
  ok.SetDefault(true);  // takes the place of the other
  const auto clickedAfterEnterOn = [&](Window& focus) {
    const int before = clicks.count;
    GiveFocus(focus);
    PressKey(kEnter);
    return clicks.count - before;
  };
  EXPECT_EQ(clickedAfterEnterOn(edit), 1);
  EXPECT_EQ(clickedAfterEnterOn(other), 0);
  EXPECT_EQ(clickedAfterEnterOn(ok), 1);
  taker.taking = true;  // a key taken away presses nothing
  EXPECT_EQ(clickedAfterEnterOn(edit), 0);
  taker.taking = false;
  // Neither a hidden nor a disabled default button is pressed, nor one that
  // is no longer the default.
  ok.SetVisible(false);
  EXPECT_EQ(clickedAfterEnterOn(edit), 0);
  ok.SetVisible(true);
  ok.SetEnabled(false);
  EXPECT_EQ(clickedAfterEnterOn(edit), 0);
  ok.SetEnabled(true);
  ok.SetDefault(false);
  EXPECT_EQ(clickedAfterEnterOn(edit), 0);
  ok.SetHandler(nullptr);
  edit.SetHandler(nullptr);
}

struct SizesAndShows : Handler {
  int resized = 0;
  int shown = 0;
  void Resized() override { ++resized; }
  void Shown() override { ++shown; }
};

TEST_F(BehaviourTest, ResizingAndShowingAreReportedOnlyWhenTheyHappen) {
  Control& edit = Make(ControlKind::Edit);
  SizesAndShows heard;
  edit.SetHandler(&heard);
  edit.SetBounds({0, 0, 150, 22});
  EXPECT_EQ(heard.resized, 1);
  edit.SetBounds({10, 10, 160, 32});  // moved only
  EXPECT_EQ(heard.resized, 1);
  edit.SetVisible(false);
  edit.SetVisible(true);
  edit.SetVisible(true);
  EXPECT_EQ(heard.shown, 1);  // only the change from hidden
  edit.SetHandler(nullptr);
}

struct Destructions : Handler {
  int heard = 0;
  void Destroyed() override { ++heard; }
};

TEST_F(BehaviourTest, DestroyingAWindowTellsItsChildrenButNotItself) {
  Control& first = Make(ControlKind::Button);
  Control& second = Make(ControlKind::Edit);
  Destructions firstHandler, secondHandler;
  first.SetHandler(&firstHandler);
  second.SetHandler(&secondHandler);
  first.Destroy();
  EXPECT_FALSE(first.Exists());
  EXPECT_EQ(firstHandler.heard, 0);
  form->Destroy();
  EXPECT_FALSE(second.Exists());
  EXPECT_EQ(secondHandler.heard, 1);
  second.SetText("ignored");  // a destroyed window takes nothing more
  EXPECT_EQ(secondHandler.heard, 1);
}

// Two threads hand work over while the window thread runs its loop; each
// holds the scheme lock meanwhile, as a chain does, and the text-change
// notification the work causes takes the lock again inside that chain.
TEST_F(BehaviourTest, TwoThreadsHandWorkToTheLoop) {
  Control& edit = Make(ControlKind::Edit);
  Control& bar = Make(ControlKind::ProgressBar);
  bar.SetRange(0, 1000);
  Spy& spy = Watch(edit, "e");
  const std::thread::id windowThread = std::this_thread::get_id();
  std::atomic<char> chainOwner{0};
  int changes = 0;
  int wrongChain = 0;
  char expected = 0;
  spy.onTextChanged = [&] {
    SchemeChain chain;  // would wait forever without the requester's loan
    ++changes;
    if (!scheme_lock::HeldByThisThread() || std::this_thread::get_id() != windowThread ||
        chainOwner.load() != expected) {
      ++wrongChain;
    }
  };
  constexpr int kRounds = 50;
  const auto worker = [&](char mark) {
    EXPECT_FALSE(OnWindowThread());
    for (int i = 0; i < kRounds; ++i) {
      SchemeChain chain;
      chainOwner = mark;
      int done = 0;
      RunOnWindowThread([&] {
        expected = mark;
        edit.SetText(std::string(1, mark));
        bar.SetPosition(bar.Position() + 1);
        ++done;
      });
      EXPECT_EQ(done, 1);
      EXPECT_TRUE(scheme_lock::HeldByThisThread());
      // The change has taken effect when the call returns.
      std::string shown;
      RunOnWindowThread([&] { shown = edit.Text(); });
      EXPECT_EQ(shown, std::string(1, mark));
    }
  };
  std::thread b(worker, 'b');
  std::thread c(worker, 'c');
  std::thread closer([&] {
    b.join();
    c.join();
    RunOnWindowThread([&] {
      EXPECT_EQ(bar.Position(), 2 * kRounds);
      form->RequestClose(/*byScheme=*/true);
    });
  });
  Application::Run();
  closer.join();
  EXPECT_EQ(changes, 2 * kRounds);
  EXPECT_EQ(wrongChain, 0);
  EXPECT_FALSE(form->Exists());
}

// The window thread waits for the scheme lock that a requester holds while
// it hands work over: the window thread serves it meanwhile, and the
// notification the work causes belongs to the requester's chain.
TEST_F(BehaviourTest, HandOverIsServedWhileTheWindowThreadWaitsForTheLock) {
  Control& edit = Make(ControlKind::Edit);
  Spy& spy = Watch(edit, "e");
  std::thread::id changedOn;
  bool heldInChange = false;
  spy.onTextChanged = [&] {
    SchemeChain chain;  // does not wait
    changedOn = std::this_thread::get_id();
    heldInChange = scheme_lock::HeldByThisThread();
  };
  std::atomic<bool> holding{false};
  std::string seen;
  bool stillHeld = false;
  std::thread requester([&] {
    SchemeChain chain;
    holding = true;
    RunOnWindowThread([&] { edit.SetText("из другого потока"); });
    RunOnWindowThread([&] { seen = edit.Text(); });
    stillHeld = scheme_lock::HeldByThisThread();
  });
  while (!holding) std::this_thread::yield();
  { SchemeChain chain; }  // waits for the requester, answering its hand-over meanwhile
  requester.join();
  EXPECT_EQ(seen, "из другого потока");
  EXPECT_TRUE(stillHeld);
  EXPECT_EQ(changedOn, std::this_thread::get_id());
  EXPECT_TRUE(heldInChange);
  EXPECT_FALSE(scheme_lock::HeldByThisThread());
  EXPECT_EQ(log, (Log{"e:changed"}));
}

}  // namespace
}  // namespace vn::toolkit::test

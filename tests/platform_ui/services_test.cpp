#include <gtest/gtest.h>

#include <QLineEdit>

#include "platform/core/trace.h"
#include "platform/ui/dialog.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/popup_menu.h"
#include "ui_test_support.h"

using namespace platform::ui;

namespace {

TEST(FileFilter, ParsesDescriptionsAndPatterns) {
  auto f = ParseFilter("quest Files (*QST)|*.QST||");
  ASSERT_EQ(f.size(), 1u);
  EXPECT_EQ(f[0].description, "quest Files (*QST)");
  EXPECT_EQ(f[0].patterns, std::vector<std::string>{"*.QST"});
  auto two = ParseFilter("Images|*.tga; *.bmp|All Files (*.*)|*.*||");
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].patterns, (std::vector<std::string>{"*.tga", "*.bmp"}));
  EXPECT_TRUE(ParseFilter("").empty());
}

struct MatchCase {
  const char* filter;
  const char* name;
  bool matches;
};

class FilterMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(FilterMatch, IgnoresCase) {
  auto f = ParseFilter(GetParam().filter);
  ASSERT_FALSE(f.empty());
  EXPECT_EQ(f[0].Matches(GetParam().name), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(Names, FilterMatch,
                         ::testing::Values(MatchCase{"CDF Files (*.CDF)|*.CDF||", "room.cdf", true},
                                           MatchCase{"CDF Files (*.CDF)|*.CDF||", "ROOM.Cdf", true},
                                           MatchCase{"CDF Files (*.CDF)|*.CDF||", "room.cbs", false},
                                           MatchCase{"Quest document (*.qst)|*.qst||", "A.QST", true},
                                           MatchCase{"text Files (*TXT)|*TXT||", "exportTXT", true},
                                           MatchCase{"Images|*.tga;*.bmp||", "x.BMP", true}));

class ServicesTest : public ::testing::Test {
 protected:
  void SetUp() override { uitest::EnsureQtApp(); }
};

TEST_F(ServicesTest, FileDialogAddsTheDefaultExtensionOnlyWhenMissing) {
  ScriptedUi script;
  script.AnswerFile("/tmp/quest");
  script.AnswerFile("/tmp/quest.old");
  script.AnswerFile("/tmp/dir.d/quest");
  FileDialogRequest req;
  req.defaultExt = "qst";
  EXPECT_EQ(ShowFileDialog(req), "/tmp/quest.qst");
  EXPECT_EQ(ShowFileDialog(req), "/tmp/quest.old");
  EXPECT_EQ(ShowFileDialog(req), "/tmp/dir.d/quest.qst");
  EXPECT_EQ(ShowFileDialog(req), std::nullopt);  // script empty: Cancel
  EXPECT_EQ(script.fileDialogs.size(), 4u);
}

// Without any service installed, nobody can answer on the offscreen
// platform: everything is cancelled rather than waited for.
TEST_F(ServicesTest, UnattendedDefaultsCancel) {
  platform::TraceCapture trace;
  EXPECT_EQ(ShowFileDialog({}), std::nullopt);
  Dialog d;
  EXPECT_EQ(d.DoModal(), kDialogCancel);
  EXPECT_EQ(PopupMenus().Choose({PopupItem{"&Add", 1}}, QPoint()), 0);
  EXPECT_TRUE(trace.Contains("nobody to answer"));
}

class CountingSink : public CommandSink {
 public:
  CommandState QueryCommand(int id) override {
    CommandState s(id, handled(id));
    s.SetCheck(id == 32786);
    return s;
  }
  bool SendCommand(int id) override {
    sent.push_back(id);
    return true;
  }
  std::function<bool(int)> handled = [](int id) { return id != 32787; };
  std::vector<int> sent;
};

TEST_F(ServicesTest, PopupMenuShowsUpdatedStatesAndPostsTheChoice) {
  ScriptedUi script;
  CountingSink sink;
  QObject context;
  MenuItem machine = Popup("Machine", {Item("&Properties", 32786),
                                       Popup("&Instances", {Item("&Add", 32837), Item("&Delete", 32836)}),
                                       Separator(), Item("&Delete", 32787)});
  script.AnswerPopup(32836);
  EXPECT_EQ(TrackPopupMenu(machine, QPoint(10, 20), sink, &context), 32836);
  ASSERT_EQ(script.popups.size(), 1u);
  const auto& shown = script.popups[0].items;
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_TRUE(shown[0].checked);
  EXPECT_EQ(shown[1].items.size(), 2u);
  EXPECT_FALSE(shown[3].enabled);
  EXPECT_EQ(script.popups[0].pos, QPoint(10, 20));
  EXPECT_TRUE(sink.sent.empty());  // the command comes from the event queue
  uitest::Settle();
  EXPECT_EQ(sink.sent, std::vector<int>{32836});
}

TEST_F(ServicesTest, PopupChoiceOfADisabledOrAbsentCommandIsIgnored) {
  ScriptedUi script;
  CountingSink sink;
  QObject context;
  MenuItem menu = Popup("Object", {Item("&Properties", 32778), Item("&Delete", 32787)});
  script.AnswerPopup(32787);  // disabled
  script.AnswerPopup(40000);  // not in the menu
  script.AnswerPopup(0);      // dismissed
  EXPECT_EQ(TrackPopupMenu(menu, QPoint(), sink, &context), 0);
  EXPECT_EQ(TrackPopupMenu(menu, QPoint(), sink, &context), 0);
  EXPECT_EQ(TrackPopupMenu(menu, QPoint(), sink, &context), 0);
  uitest::Settle();
  EXPECT_TRUE(sink.sent.empty());
}

TEST_F(ServicesTest, PopupCommandIsDroppedWhenItsOwnerWentAway) {
  ScriptedUi script;
  CountingSink sink;
  auto context = std::make_unique<QObject>();
  script.AnswerPopup(32778);
  EXPECT_EQ(TrackPopupMenu(Popup("Object", {Item("&Properties", 32778)}), QPoint(), sink, context.get()), 32778);
  context.reset();
  uitest::Settle();
  EXPECT_TRUE(sink.sent.empty());
}

// A dialog with one field that refuses OK while the field is empty.
class NameDialog : public Dialog {
 public:
  NameDialog() {
    setWindowTitle("Room");
    edit = new QLineEdit(this);
  }
  bool OnInitDialog() override {
    ++inits;
    edit->setText(QString::fromStdString(initial));
    Timers().Set(2, 50);
    return true;
  }
  void OnOK() override {
    if (edit->text().isEmpty()) return;  // stays open
    result = edit->text().toStdString();
    Dialog::OnOK();
  }
  void OnDestroy() override { timerAtDestroy = Timers().IsSet(2); }
  QLineEdit* edit;
  std::string initial;
  std::string result;
  int inits = 0;
  bool timerAtDestroy = true;
};

TEST_F(ServicesTest, ScriptedDialogsAnswerOkOrCancel) {
  ScriptedUi script;
  NameDialog d;
  d.initial = "hall";
  script.AnswerDialog(kDialogOk, [](Dialog& dlg) { static_cast<NameDialog&>(dlg).edit->setText("crypt"); });
  EXPECT_EQ(d.DoModal(), kDialogOk);
  EXPECT_EQ(d.result, "crypt");
  EXPECT_EQ(d.inits, 1);
  EXPECT_FALSE(d.timerAtDestroy);  // timers stop before the dialog's own teardown

  NameDialog c;
  script.AnswerDialog(kDialogCancel);
  EXPECT_EQ(c.DoModal(), kDialogCancel);
  EXPECT_TRUE(c.result.empty());
  ASSERT_EQ(script.dialogs.size(), 2u);
  EXPECT_EQ(script.dialogs[0].title, "Room");
  EXPECT_EQ(script.dialogs[1].result, kDialogCancel);
}

TEST_F(ServicesTest, DialogThatRefusesOkEndsCancelledAndIsReported) {
  ScriptedUi script;
  NameDialog d;  // empty field: OK is refused
  script.AnswerDialog(kDialogOk);
  EXPECT_EQ(d.DoModal(), kDialogCancel);
  ASSERT_EQ(script.dialogs.size(), 1u);
  EXPECT_TRUE(script.dialogs[0].refusedOk);
}

TEST_F(ServicesTest, ModelessNoticeShowsUntilEnded) {
  NameDialog d;
  ASSERT_TRUE(d.ShowModeless());
  EXPECT_EQ(d.inits, 1);
  EXPECT_TRUE(d.isVisible());
  EXPECT_FALSE(d.isModal());
  d.EndModeless();
  EXPECT_FALSE(d.isVisible());
  EXPECT_FALSE(d.timerAtDestroy);
}

TEST_F(ServicesTest, EscapeAndCloseBoxAreCancel) {
  NameDialog d;
  d.reject();
  EXPECT_TRUE(d.HasEnded());
  EXPECT_EQ(d.Result(), kDialogCancel);
}

}  // namespace

// Generate Quest through its dialogs: the texts shown and stored back, the
// progress notice, and the error report.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>

#include "datafiles/language_table.h"
#include "editor/generation_error_dlg.h"
#include "editor/generation_progress_dlg.h"
#include "editor/generation_ui.h"
#include "editor/kelvar_commands.h"
#include "editor/quest_generation_dlg.h"
#include "kelvar_fixture.h"
#include "quest/kelvar_doc.h"
#include "quest/quest_lists.h"
#include "quest/room.h"

namespace kelvartest {
namespace {

using namespace kelvar;
namespace ui = platform::ui;

class GenerationDialogsTest : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    WriteQuest("castle.qst", {{}, {}, {}, {"gate", "yard"}});
    ASSERT_TRUE(Start({"castle.qst"}));
    g_languageTable.SetLanguage(1);
    QuestInfoText().Set(1, "Find the ruby.\r\nBring it back.");
    QuestAuthorText().Set(1, "Ann");
  }
};

TEST_F(GenerationDialogsTest, CancelGeneratesNothing) {
  script.AnswerDialog(ui::kDialogCancel);
  ASSERT_TRUE(Send(kCmdGenerateQuest));
  ASSERT_EQ(script.dialogs.size(), 1u);
  EXPECT_EQ(script.dialogs[0].title, "Quest Generation...");
  EXPECT_FALSE(dir.Exists("data/customQuest/castle/quest0.spt"));
  EXPECT_FALSE(Modified());
}

TEST_F(GenerationDialogsTest, DialogShowsTheTextsAndStoresTheEditedOnes) {
  std::string shownInformation, shownAuthor;
  bool debugChecked = false;
  script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CQuestGenerationDlg&>(d);
    shownInformation = dialog.InformationEdit()->toPlainText().toStdString();
    shownAuthor = dialog.AuthorEdit()->text().toStdString();
    debugChecked = dialog.DebugCheck()->isChecked();
    dialog.AuthorEdit()->setText("Ann and Bo");
    dialog.InformationEdit()->setPlainText("Find the ruby.\nQuickly.");
    dialog.DebugCheck()->setChecked(false);
  });
  ASSERT_TRUE(Send(kCmdGenerateQuest));
  EXPECT_EQ(shownInformation, "Find the ruby.\nBring it back.");
  EXPECT_EQ(shownAuthor, "Ann");
  EXPECT_TRUE(debugChecked) << "debug starts checked";
  EXPECT_STREQ(QuestAuthorText().Get(1), "Ann and Bo");
  EXPECT_STREQ(QuestInfoText().Get(1), "Find the ruby.\r\nQuickly.") << "lines end in CR LF in the quest";
  EXPECT_TRUE(Modified()) << "the texts changed";
  const std::string script0 = dir.Read("data/customQuest/castle/quest0.spt");
  EXPECT_EQ(script0.find("\tDEBUG {}"), std::string::npos) << "debug was unchecked";
  EXPECT_NE(script0.find("Ann and Bo"), std::string::npos);
}

TEST_F(GenerationDialogsTest, FaultsAreReportedInTheErrorDialog) {
  for (CRoom* r = Quest().rooms; r; r = r->next) r->entrance = 1;  // two entrances of one land
  std::string report;
  script.AnswerDialog(ui::kDialogOk);
  script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
    report = dynamic_cast<CGenerationErrorDlg&>(d).ReportEdit()->toPlainText().toStdString();
  });
  ASSERT_TRUE(Send(kCmdGenerateQuest));
  ASSERT_EQ(script.dialogs.size(), 2u);
  EXPECT_EQ(script.dialogs[1].title, "Generation Error....");
  EXPECT_NE(report.find("Multiple entrance for dungeon 0 are not allowed : error in room gate\n"), std::string::npos)
      << report;
  EXPECT_NE(report.find("QUEST GENERATION ABORTED."), std::string::npos);
  EXPECT_FALSE(dir.Exists("quest/castle.mtf"));
}

TEST_F(GenerationDialogsTest, ProgressNoticeStepsAndGoes) {
  GenerationUi& generation = app->Generation();
  generation.ShowProgress(3);
  ASSERT_NE(generation.Progress(), nullptr);
  QProgressBar* bar = generation.Progress()->Progress();
  EXPECT_EQ(bar->maximum(), 3);
  generation.StepProgress();
  generation.StepProgress();
  EXPECT_EQ(bar->value(), 2);
  generation.HideProgress();
  EXPECT_EQ(generation.Progress(), nullptr);
}

TEST_F(GenerationDialogsTest, LongTextsAreShownWholeAndTypingStopsAtTheLimit) {
  CQuestGenerationDlg dialog;
  dialog.author = std::string(70, 'a');
  dialog.information = "short";
  ASSERT_TRUE(dialog.Initialize());
  EXPECT_EQ(dialog.AuthorEdit()->text().size(), 70) << "a text from the quest is never cut";
  dialog.InformationEdit()->setPlainText(QString(300, 'x'));
  EXPECT_EQ(dialog.InformationEdit()->toPlainText().size(), 256);
  dialog.Finish();
}

}  // namespace
}  // namespace kelvartest

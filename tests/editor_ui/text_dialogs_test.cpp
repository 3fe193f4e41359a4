// The text, voice, text list and marker dialogs: what they show, what they
// store on OK, the voice file's naming, format check and encoding, the
// exchange file's round trip, and the markers.
#include <algorithm>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

#include "audio/run_command.h"
#include "datafiles/language_table.h"
#include "datafiles/multi_lang_text.h"
#include "editor/dialog_files.h"
#include "editor/generation_error_dlg.h"
#include "editor/kelvar_commands.h"
#include "editor/line_text_dlg.h"
#include "editor/marker_dlg.h"
#include "editor/param_dlgs.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/quest_text_exchange.h"
#include "editor/text_dlg.h"
#include "editor/text_list_dlg.h"
#include "kelvar_fixture.h"
#include "quest/fixed_field.h"
#include "quest/kelvar_doc.h"
#include "quest/machine.h"
#include "quest/marker.h"
#include "quest/monster.h"
#include "quest/quest_lists.h"
#include "quest/quest_object.h"
#include "quest/quest_texts.h"
#include "quest/room.h"
#include "platform/core/paths.h"
#include "platform/ui/command_ids.h"
#include "support/audio_signals.h"
#include "support/bytes.h"
#include "support/external_tool.h"
#include "tools/demodata/sample_quest.h"
#include "user_input.h"

namespace kelvartest {
namespace {

using namespace kelvar;
namespace ui = platform::ui;

constexpr const char* kSignMachine =
    "STATE_MACHINE { KEY { sign } COMMENT [A sign.] PARAM { KEY { 3 } TYPE { TEXT } COMMENT [Words] } }";

// A canonical WAV header of any shape and a few samples.
std::string Wav(int channels, int rate, int bits) {
  std::string out = testsupport::WavBytes(testsupport::SineSweep(0.05, 200, 400));
  auto put16 = [&](std::size_t at, int v) {
    out[at] = static_cast<char>(v);
    out[at + 1] = static_cast<char>(v >> 8);
  };
  put16(22, channels);
  put16(24, rate & 0xFFFF);
  put16(26, rate >> 16);
  put16(34, bits);
  return out;
}

CTextDlg& AsText(ui::Dialog& d) { return dynamic_cast<CTextDlg&>(d); }

class TextDialogsTest : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    ResetLastDialogFolder();
    WriteQuest("Castle.qst", {{}, {"orc"}, {"ruby", "ghost"}, {"gate"}});
    dir.Write("rozizuzi/stateMachine/sign.qsm", std::string_view(kSignMachine));
    ASSERT_TRUE(Start({"Castle.qst"}));
    g_languageTable.SetLanguage(1);
    ghost = Quest().questObjects->next;
    ghost->isVirtual = 1;
    board = CreateMachine(Quest().machines, kMachineStateMachine, "sign", "board");
    ASSERT_NE(board->FindParam(3), nullptr);
    boardText = &static_cast<CMachineParamText*>(board->FindParam(3))->value;
    boxes.boxes.clear();  // each test counts its own boxes
  }

  // Runs the text dialog on the room's text; `inside` runs while it is open.
  void RunTextDialog(int button, const std::function<void(CTextDlg&)>& inside) {
    script.AnswerDialog(button, [&](ui::Dialog& d) { inside(AsText(d)); });
    EditAllLanguages(Quest().rooms->text);
  }

  CQuestObject* ghost = nullptr;
  CMachine* board = nullptr;
  CMultiLangText* boardText = nullptr;
};

TEST_F(TextDialogsTest, VoiceNamesKeepLettersAndDigitsOfTheFileName) {
  const struct {
    const char* path;
    const char* name;
  } cases[] = {
      {"My Voice-01.wav", "MyVoice01"},
      {"/home/ann/rec/My Voice-01.wav", "MyVoice01"},
      {"C:\\rec\\take.2.wav", "take2"},
      {"no_extension", "noextension"},
      {"-- !.wav", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(VoiceNameFromPath(c.path), c.name) << c.path;
  EXPECT_EQ(VoiceNameFromPath(std::string(100, 'a') + ".wav"), std::string(79, 'a'));
  EXPECT_EQ(QuestVoicePath("Castle", VoiceNameFromPath("My Voice-01.wav")), "data\\customQuest\\Castle\\MyVoice01.mp2");
}

TEST_F(TextDialogsTest, TextDialogShowsEveryLanguageAndStoresThemBack) {
  CMultiLangText& text = Quest().rooms->text;
  text.Set(0, "Porte");
  text.Set(1, "Gate\r\nof the north");
  text.SetVoiceName("gatevoice");
  std::string shownEnglish, shownVoice;
  RunTextDialog(ui::kDialogOk, [&](CTextDlg& dialog) {
    shownEnglish = dialog.TextEdit(1)->toPlainText().toStdString();
    shownVoice = dialog.VoiceEdit()->text().toStdString();
    EXPECT_EQ(dialog.TextEdit(2)->toPlainText(), "") << "no fallback in the rows";
    dialog.TextEdit(0)->setPlainText("");
    dialog.TextEdit(4)->setPlainText("Port\nnorr");
  });
  EXPECT_EQ(shownEnglish, "Gate\nof the north");
  EXPECT_EQ(shownVoice, "gatevoice");
  EXPECT_FALSE(text.Has(0)) << "an emptied row removes its text";
  EXPECT_STREQ(text.Get(1), "Gate\r\nof the north");
  EXPECT_STREQ(text.Get(4), "Port\r\nnorr") << "texts keep CR LF inside";
  EXPECT_STREQ(text.GetVoiceName(), "gatevoice");

  RunTextDialog(ui::kDialogCancel, [](CTextDlg& dialog) { dialog.TextEdit(1)->setPlainText("changed"); });
  EXPECT_STREQ(text.Get(1), "Gate\r\nof the north") << "Cancel stores nothing";
}

TEST_F(TextDialogsTest, WavesOfAnotherFormatAreRefusedAndTheVoiceStays) {
  Quest().rooms->text.SetVoiceName("oldvoice");
  const struct {
    const char* file;
    int channels, rate, bits;
  } refused[] = {{"stereo.wav", 2, 44100, 16}, {"slow.wav", 1, 22050, 16}, {"narrow.wav", 1, 44100, 8}};
  for (const auto& r : refused) {
    dir.Write(r.file, Wav(r.channels, r.rate, r.bits));
    script.AnswerFile(dir.Native(r.file));
    RunTextDialog(ui::kDialogOk, [](CTextDlg& dialog) { dialog.OnVoiceFile(); });
    ASSERT_FALSE(boxes.boxes.empty()) << r.file;
    EXPECT_EQ(boxes.boxes.back().text, "Invalid Wave Format: only 44100-16Bit-Mono PCM wave format is allowed.");
    EXPECT_STREQ(Quest().rooms->text.GetVoiceName(), "oldvoice") << r.file;
  }
  EXPECT_EQ(boxes.boxes.size(), 3u);
  EXPECT_FALSE(dir.Exists("data/customQuest/Castle/stereo.mp2"));
  EXPECT_FALSE(dir.Exists("data/customQuest/Castle/slow.mp2"));
  ASSERT_FALSE(script.fileDialogs.empty());
  EXPECT_EQ(script.fileDialogs[0].filter, "WAV Files (*.WAV)|*.WAV||");
  EXPECT_EQ(script.fileDialogs[1].directory, dir.path()) << "the next dialog starts where the last file was";
}

TEST_F(TextDialogsTest, CancellingTheVoiceFileClearsTheVoice) {
  Quest().rooms->text.SetVoiceName("oldvoice");
  script.CancelFile();
  std::string shown = "?";
  RunTextDialog(ui::kDialogOk, [&](CTextDlg& dialog) {
    dialog.OnVoiceFile();
    shown = dialog.VoiceEdit()->text().toStdString();
  });
  EXPECT_EQ(shown, "");
  EXPECT_STREQ(Quest().rooms->text.GetVoiceName(), "");
}

TEST_F(TextDialogsTest, AVoiceFileNameWithoutLettersOrDigitsIsRefused) {
  Quest().rooms->text.SetVoiceName("oldvoice");
  dir.Write("-- -.wav", Wav(1, 44100, 16));
  script.AnswerFile(dir.Native("-- -.wav"));
  RunTextDialog(ui::kDialogOk, [](CTextDlg& dialog) { dialog.OnVoiceFile(); });
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_NE(boxes.boxes[0].text.find("has no letter or digit"), std::string::npos) << boxes.boxes[0].text;
  EXPECT_STREQ(Quest().rooms->text.GetVoiceName(), "oldvoice");
  EXPECT_FALSE(dir.Exists("data/customQuest/Castle/.mp2"));
}

TEST_F(TextDialogsTest, AFailedEncodingIsReportedAndKeepsTheVoice) {
  Quest().rooms->text.SetVoiceName("oldvoice");
  dir.Write("My Voice-01.wav", Wav(1, 44100, 16));
  ASSERT_TRUE(dir.Exists("data/customQuest/Castle"));
  std::filesystem::remove_all(dir.Native("data/customQuest/Castle"));  // nowhere to write
  script.AnswerFile(dir.Native("My Voice-01.wav"));
  RunTextDialog(ui::kDialogOk, [](CTextDlg& dialog) { dialog.OnVoiceFile(); });
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_NE(boxes.boxes[0].text.find("failed"), std::string::npos) << boxes.boxes[0].text;
  EXPECT_STREQ(Quest().rooms->text.GetVoiceName(), "oldvoice");
}

TEST_F(TextDialogsTest, LineTextDialogEditsOnlyTheCurrentLanguage) {
  g_languageTable.SetLanguage(2);
  CMultiLangText& text = Quest().rooms->text;
  text.Set(1, "Gate");
  std::string shownText = "?", shownLanguage, shownLabel;
  script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CLineTextDlg&>(d);
    shownText = dialog.TextEdit()->toPlainText().toStdString();
    shownLanguage = dialog.LanguageEdit()->text().toStdString();
    shownLabel = dialog.LabelEdit()->text().toStdString();
    dialog.TextEdit()->setPlainText("Tor\nNord");
  });
  EXPECT_TRUE(EditCurrentLanguage(text, "Name"));
  EXPECT_EQ(shownText, "") << "the current language's own text, without fallback";
  EXPECT_EQ(shownLanguage, "German");
  EXPECT_EQ(shownLabel, "Name");
  EXPECT_STREQ(text.Get(2), "Tor\r\nNord");
  EXPECT_STREQ(text.Get(1), "Gate");
  script.AnswerDialog(ui::kDialogOk);
  EXPECT_FALSE(EditCurrentLanguage(text, "Name")) << "OK without an edit changes nothing";
}

TEST_F(TextDialogsTest, ValueDialogTakesOnlyIntegers) {
  const struct {
    const char* typed;
    bool accepted;
    int value;
  } cases[] = {{" -5 ", true, -5}, {"+12", true, 12}, {"12a", false, 0}, {"", false, 0}, {"99999999999", false, 0}};
  for (const auto& c : cases) {
    boxes.boxes.clear();
    CParamValueDlg dialog;
    dialog.label = "Count";
    script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog&) { dialog.ValueEdit()->setText(c.typed); });
    const int result = dialog.DoModal();
    EXPECT_EQ(result == ui::kDialogOk, c.accepted) << c.typed;
    EXPECT_EQ(dialog.Label()->text(), "Count");
    if (c.accepted) {
      EXPECT_EQ(dialog.value, c.value) << c.typed;
      EXPECT_TRUE(boxes.boxes.empty());
    } else {
      ASSERT_EQ(boxes.boxes.size(), 1u) << c.typed;
      EXPECT_EQ(boxes.boxes[0].text, "Please enter an integer.");
    }
  }
}

TEST_F(TextDialogsTest, TextListHoldsEveryTextOfTheQuestByLabel) {
  CQuestObject* ruby = Quest().questObjects;
  ruby->comment.Set(0, "Rubis rouge");  // French only: shown through the fallback
  std::vector<std::string> labels;
  script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
    for (const QuestTextEntry& e : dynamic_cast<CTextListDlg&>(d).Entries()) labels.push_back(e.label);
  });
  ASSERT_TRUE(Send(kCmdTextEdit));
  const std::vector<std::string> expected = {"Author", "M_orc:Name", "M_orc:Text", "O_ruby:Comment", "O_ruby:Name",
                                             "Quest Info", "R_gate", "T_board:3"};
  EXPECT_EQ(labels, expected) << "the virtual object has no texts and the list is sorted";
  EXPECT_FALSE(Modified()) << "only looking changes nothing";
}

TEST_F(TextDialogsTest, ChoosingATextEditsItAndMarksTheQuestModified) {
  script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CTextListDlg&>(d);
    const auto& entries = dialog.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].label == "T_board:3") dialog.List()->setCurrentRow(static_cast<int>(i));
  });
  script.AnswerDialog(ui::kDialogOk, [](ui::Dialog& d) { AsText(d).TextEdit(1)->setPlainText("Beware"); });
  ASSERT_TRUE(Send(kCmdTextEdit));
  ASSERT_EQ(script.dialogs.size(), 2u);
  EXPECT_EQ(script.dialogs[0].title, "Text...") << "the text dialog ends first";
  EXPECT_STREQ(boardText->Get(1), "Beware");
  EXPECT_TRUE(Modified());
}

// Shown, the list takes the focus with nothing chosen: a text opens only
// when the user clicks its label, and again on each click.
TEST_F(TextDialogsTest, ShownTextListOpensATextOnEachClickOnItsLabel) {
  auto typeAuthor = [this](const char* words) {
    script.ShowDialog([words](ui::Dialog& d) {
      TypeInto(*AsText(d).TextEdit(1), words);
      ClickButton(d, "&OK");
    });
  };
  std::size_t openedOnShow = 99;
  script.ShowDialog([&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CTextListDlg&>(d);
    openedOnShow = script.dialogs.size();
    EXPECT_TRUE(dialog.List()->hasFocus());
    typeAuthor("Ann");
    ClickRow(*dialog.List(), "Author");
    EXPECT_STREQ(QuestAuthorText().Get(1), "Ann");
    typeAuthor("Ann Smith");
    ClickRow(*dialog.List(), "Author");
    ClickButton(dialog, "OK");
  });
  ASSERT_TRUE(Send(kCmdTextEdit));
  EXPECT_EQ(openedOnShow, 0u) << "showing the list opens no text";
  ASSERT_EQ(script.dialogs.size(), 3u);
  EXPECT_EQ(script.dialogs[0].title, "Text...");
  EXPECT_EQ(script.dialogs[1].title, "Text...");
  EXPECT_EQ(script.dialogs[2].result, ui::kDialogOk);
  EXPECT_STREQ(QuestAuthorText().Get(1), "Ann Smith");
  EXPECT_TRUE(Modified());
}

TEST_F(TextDialogsTest, ExportThenImportGivesBackEveryText) {
  Quest().monsters->name.Set(1, "Orc");
  Quest().monsters->text.Set(1, "Grunts.\r\nThen attacks.");  // multi-line
  Quest().rooms->text.Set(1, "Gate\twith a tab");
  QuestAuthorText().Set(1, "C:\\ann\\notes");              // backslashes
  boardText->Set(0, "Seulement en francais");            // exported through the fallback
  auto entries = CollectQuestTexts();
  SortByLabel(entries);
  ExportQuestTexts(entries, "export.txt");
  const std::string file = dir.Read("export.txt");
  EXPECT_EQ(file,
            "Author\tC:\\\\ann\\\\notes\r\n"
            "M_orc:Name\tOrc\r\n"
            "M_orc:Text\tGrunts.\\r\\nThen attacks.\r\n"
            "R_gate\tGate\twith a tab\r\n"
            "T_board:3\tSeulement en francais\r\n");

  std::vector<std::string> before;
  for (const auto& e : entries) before.push_back(e.text->Get(1));
  for (const auto& e : entries) e.text->Set(1, "");
  EXPECT_EQ(ImportQuestTexts(entries, "export.txt"), 5);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string want = entries[i].label == "T_board:3" ? "Seulement en francais" : before[i];
    EXPECT_EQ(entries[i].text->Get(1), want) << entries[i].label;
  }
}

TEST_F(TextDialogsTest, ImportMatchesLabelsIgnoringCase) {
  Quest().monsters->name.Set(1, "Orc");
  Quest().monsters->text.Set(1, "Grunts");
  Quest().monsters->text.Set(0, "Grogne");
  dir.Write("fr.txt", "m_orc:name\tBig orc\r\nM_ORC:TEXT\r\nnobody\tlost\nR_gate\tGate\r\n");
  auto entries = CollectQuestTexts();
  EXPECT_EQ(ImportQuestTexts(entries, dir.Native("fr.txt")), 3);
  EXPECT_STREQ(Quest().monsters->name.Get(1), "Big orc");
  EXPECT_FALSE(Quest().monsters->text.Has(1)) << "a line without a TAB empties the current language";
  EXPECT_STREQ(Quest().monsters->text.Get(0), "Grogne") << "other languages stay";
  EXPECT_STREQ(Quest().rooms->text.Get(1), "Gate") << "the line's CR is not part of the text";
}

TEST_F(TextDialogsTest, ImportThroughTheDialogAsksForAFileAndMarksModified) {
  dir.Write("in.txt", "R_gate\tNorth gate\r\n");
  script.AnswerFile(dir.Native("in.txt"));
  script.AnswerDialog(ui::kDialogOk, [](ui::Dialog& d) { dynamic_cast<CTextListDlg&>(d).OnImport(); });
  ASSERT_TRUE(Send(kCmdTextEdit));
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_EQ(script.fileDialogs[0].defaultExt, ".TXT");
  EXPECT_EQ(script.fileDialogs[0].filter, "text Files (*TXT)|*TXT||");
  EXPECT_STREQ(Quest().rooms->text.Get(1), "North gate");
  EXPECT_TRUE(Modified());
}

TEST_F(TextDialogsTest, ExportThroughTheDialogWritesExportTxtInTheStartFolder) {
  Quest().rooms->text.Set(1, "Gate");
  script.AnswerDialog(ui::kDialogOk, [](ui::Dialog& d) { dynamic_cast<CTextListDlg&>(d).OnExport(); });
  ASSERT_TRUE(Send(kCmdTextEdit));
  EXPECT_EQ(dir.Read("export.txt"), "R_gate\tGate\r\n");
  EXPECT_FALSE(Modified()) << "exporting changes nothing";
}

class MarkerDialogTest : public TextDialogsTest {
 protected:
  // Runs the marker dialog with `inside`, then presses OK.
  void RunMarkers(const std::function<void(CMarkerDlg&)>& inside) {
    script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) { inside(dynamic_cast<CMarkerDlg&>(d)); });
    CMarkerDlg dialog;
    dialog.DoModal();
    changed = dialog.Changed();
  }
  static std::vector<std::string> Shown(const CMarkerDlg& dialog) {
    std::vector<std::string> names;
    for (int i = 0; i < dialog.List()->count(); ++i) names.push_back(dialog.List()->item(i)->text().toStdString());
    return names;
  }
  bool changed = false;
};

TEST_F(MarkerDialogTest, AddNamesMarkersFromTheCounterAtTheViewOrigin) {
  Quest().mapView = {300, 400, 940, 880};
  std::vector<std::string> shown;
  RunMarkers([&](CMarkerDlg& dialog) {
    dialog.OnAdd();
    dialog.OnAdd();
    dialog.OnAdd();
    shown = Shown(dialog);
    EXPECT_EQ(dialog.List()->currentItem()->text(), "#2") << "the new marker is selected";
  });
  EXPECT_EQ(shown, (std::vector<std::string>{"#0", "#1", "#2"}));
  EXPECT_EQ(Quest().markerCounter, 3);
  ASSERT_NE(Quest().markers, nullptr);
  EXPECT_STREQ(Quest().markers->name, "#2") << "pushed at the head";
  EXPECT_EQ(Quest().markers->x, 300);
  EXPECT_EQ(Quest().markers->y, 400);
  EXPECT_TRUE(changed);
}

TEST_F(MarkerDialogTest, RenameKeeps31CharactersInPlaceAndDeleteRemoves) {
  for (const char* n : {"c", "b", "a"}) NewMarker(Quest().markers)->Init(n);
  std::vector<std::string> shown;
  const std::string longName(40, 'z');
  RunMarkers([&](CMarkerDlg& dialog) {
    dialog.List()->setCurrentRow(0);
    script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
      auto& rename = dynamic_cast<CParamTextDlg&>(d);
      EXPECT_EQ(rename.Label()->text(), "Enter new marker label:");
      EXPECT_EQ(rename.ValueEdit()->text(), "a");
      rename.ValueEdit()->setText(QString::fromStdString(longName));
    });
    dialog.OnRename();
    shown = Shown(dialog);
    dialog.List()->setCurrentRow(1);
    dialog.OnDelete();
  });
  EXPECT_EQ(shown, (std::vector<std::string>{std::string(31, 'z'), "b", "c"})) << "replaced in place, not re-sorted";
  std::vector<std::string> left;
  for (Marker* m = Quest().markers; m; m = m->next) left.push_back(m->name);
  EXPECT_EQ(left, (std::vector<std::string>{std::string(31, 'z'), "c"}));
  EXPECT_TRUE(changed);
}

TEST_F(MarkerDialogTest, GotoMovesTheMapViewAndCloses) {
  Marker* m = NewMarker(Quest().markers);
  m->Init("camp");
  m->x = 1000;
  m->y = -200;
  Quest().mapView = {0, 0, 640, 480};
  int result = 0;
  script.AnswerDialog(ui::kDialogCancel, [](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CMarkerDlg&>(d);
    dialog.OnGoto();  // nothing selected: nothing happens
    EXPECT_FALSE(dialog.HasEnded());
    dialog.List()->setCurrentRow(0);
    dialog.OnGoto();
  });
  CMarkerDlg dialog;
  result = dialog.DoModal();
  EXPECT_EQ(result, ui::kDialogOk);
  EXPECT_EQ(Quest().mapView.left, 1000);
  EXPECT_EQ(Quest().mapView.top, -200);
  EXPECT_EQ(Quest().mapView.right, 1640);
  EXPECT_EQ(Quest().mapView.bottom, 280);
  EXPECT_FALSE(dialog.Changed());
}

// The report the generation error dialog shows, as the next Generate Quest
// through its dialog brings it up.
void AnswerGenerationWithReport(ui::ScriptedUi& script, std::string& report) {
  script.AnswerDialog(ui::kDialogOk);  // the generation dialog
  script.AnswerDialog(ui::kDialogOk, [&report](ui::Dialog& d) {
    report = dynamic_cast<CGenerationErrorDlg&>(d).ReportEdit()->toPlainText().toStdString();
  });
}

// Reads the names of a package's entries.
std::vector<std::string> PackageNames(const std::string& bytes) {
  std::vector<std::string> names;
  if (bytes.size() < 4) return names;
  const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::uint32_t count = testsupport::ReadU32(p);
  std::size_t at = 4;
  for (std::uint32_t i = 0; i < count && at + 4 <= bytes.size(); ++i) {
    const std::uint32_t length = testsupport::ReadU32(p + at);
    if (length == 0 || at + 12 + length > bytes.size()) break;
    names.emplace_back(bytes.data() + at + 4, length - 1);
    at += 12 + length;
  }
  return names;
}

TEST_F(TextDialogsTest, ChosenVoiceBecomesAnMp2ThatFfprobeAcceptsAndThePackageHolds) {
  REQUIRE_EXTERNAL_TOOL(testsupport::kFfprobe);
  dir.Write("rec/My Voice-01.wav", testsupport::WavBytes(testsupport::SpeechLike(1.0)));
  script.AnswerDialog(ui::kDialogOk, [&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<CTextListDlg&>(d);
    const auto& entries = dialog.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].label == "R_gate") dialog.List()->setCurrentRow(static_cast<int>(i));
  });
  script.AnswerFile(dir.Native("rec/My Voice-01.wav"));
  script.AnswerDialog(ui::kDialogOk, [](ui::Dialog& d) {
    AsText(d).TextEdit(1)->setPlainText("Welcome to the gate.");
    AsText(d).OnVoiceFile();
  });
  ASSERT_TRUE(Send(kCmdTextEdit));
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_STREQ(Quest().rooms->text.GetVoiceName(), "MyVoice01");
  ASSERT_TRUE(dir.Exists("data/customQuest/Castle/MyVoice01.mp2"));

  std::string output;
  ASSERT_EQ(testsupport::RunCommand("ffprobe -v error -show_entries stream=codec_name,sample_rate,channels "
                                    "-of default=noprint_wrappers=1 " +
                                        testsupport::ShellQuote(dir.Native("data/customQuest/Castle/MyVoice01.mp2")),
                                    output),
            0)
      << output;
  EXPECT_NE(output.find("codec_name=mp2\n"), std::string::npos) << output;
  EXPECT_NE(output.find("sample_rate=44100\n"), std::string::npos) << output;
  EXPECT_NE(output.find("channels=1\n"), std::string::npos) << output;

  // The object texture banks every package carries.
  for (int bank = 800; bank <= 815; ++bank) dir.Write("rozizuzi/bank/k0" + std::to_string(bank) + "_OBJ.tga", "tga");
  script.AnswerDialog(ui::kDialogOk);  // the generation dialog
  ASSERT_TRUE(Send(kCmdGenerateQuest));
  ASSERT_TRUE(dir.Exists("quest/Castle.mtf")) << (boxes.boxes.empty() ? "" : boxes.boxes.back().text);
  bool packed = false;
  for (const std::string& name : PackageNames(dir.Read("quest/Castle.mtf")))
    if (name.ends_with("MyVoice01.mp2")) packed = true;
  EXPECT_TRUE(packed);
}

// A quest saved under a new name takes the voices its texts name along to
// its own folder, so the renamed quest's package holds every one of them.
TEST_F(TextDialogsTest, SaveAsTakesTheVoicesAlongAndTheRenamedQuestPacksThem) {
  dir.Write("rec/gate.wav", testsupport::WavBytes(testsupport::SpeechLike(0.3)));
  script.ShowDialog([&](ui::Dialog& d) {
    script.AnswerFile(dir.Native("rec/gate.wav"));
    ClickButton(d, "Voice File...");
    ClickButton(d, "&OK");
  });
  EditAllLanguages(Quest().rooms->text);
  ASSERT_STREQ(Quest().rooms->text.GetVoiceName(), "gate");
  ASSERT_TRUE(dir.Exists("data/customQuest/Castle/gate.mp2"));
  // A voice recorded earlier, and a text naming a voice that was never recorded.
  dir.Write("data/customQuest/Castle/growl.mp2", "growl");
  Quest().monsters->text.SetVoiceName("growl");
  Quest().questObjects->name.SetVoiceName("lost");
  dir.Write("data/customQuest/Castle/unused.mp2", "not named by any text");

  script.AnswerFile(dir.Native("Keep.qst"));
  ASSERT_TRUE(Send(ui::kCmdFileSaveAs));
  ASSERT_TRUE(dir.Exists("Keep.qst"));
  EXPECT_TRUE(dir.Exists("data/customQuest/Keep/gate.mp2") &&
              dir.Read("data/customQuest/Keep/gate.mp2") == dir.Read("data/customQuest/Castle/gate.mp2"));
  EXPECT_EQ(dir.Read("data/customQuest/Keep/growl.mp2"), "growl");
  EXPECT_FALSE(dir.Exists("data/customQuest/Keep/unused.mp2")) << "only the voices the texts name";
  EXPECT_TRUE(dir.Exists("data/customQuest/Castle/growl.mp2")) << "the old quest keeps its own";
  EXPECT_TRUE(boxes.boxes.empty()) << (boxes.boxes.empty() ? "" : boxes.boxes.front().text);

  for (int bank = 800; bank <= 815; ++bank) dir.Write("rozizuzi/bank/k0" + std::to_string(bank) + "_OBJ.tga", "tga");
  // The voice never recorded is named, and nothing is packed without it.
  std::string report;
  AnswerGenerationWithReport(script, report);
  ASSERT_TRUE(Send(kCmdGenerateQuest));
  EXPECT_NE(report.find("Voice file data\\customQuest\\Keep\\lost.mp2 not found\n"), std::string::npos) << report;
  EXPECT_FALSE(dir.Exists("quest/Keep.mtf"));
  Quest().questObjects->name.SetVoiceName("");
  script.AnswerDialog(ui::kDialogOk);  // the generation dialog
  ASSERT_TRUE(Send(kCmdGenerateQuest));
  ASSERT_TRUE(dir.Exists("quest/Keep.mtf")) << (boxes.boxes.empty() ? "" : boxes.boxes.back().text);
  const std::vector<std::string> names = PackageNames(dir.Read("quest/Keep.mtf"));
  for (const char* voice : {"voices\\gate.mp2", "voices\\growl.mp2"})
    EXPECT_NE(std::find(names.begin(), names.end(), voice), names.end()) << voice;
}

// What a quest script cannot hold, as the text dialogs say it.
std::string Refusal(const char* part, const char* holds) {
  return std::string("The ") + part + " holds " + holds + ", which a quest script cannot hold. Take it out, or Cancel.";
}

// A script gives every text between braces and cannot escape one: the text
// dialogs keep a text with a brace or a control character open and say why;
// line breaks and tabs are the text's own.
TEST_F(TextDialogsTest, TextDialogsRefuseWhatNoScriptCanHold) {
  const struct {
    const char* typed;
    const char* holds;
  } cases[] = {
      {"Open {the} door", "\"{\""},
      {"door}", "\"}\""},
      {"bell\x07", "a control character (code 7)"},
  };
  for (const auto& c : cases) {
    Quest().rooms->text.Set(1, "Gate");
    boxes.boxes.clear();
    bool stayedOpen = false;
    script.ShowDialog([&](ui::Dialog& d) {
      AsText(d).TextEdit(1)->setPlainText(QString::fromLatin1(c.typed));
      ClickButton(d, "&OK");
      stayedOpen = d.isVisible();
      ClickButton(d, "&Cancel");
    });
    EXPECT_FALSE(EditAllLanguages(Quest().rooms->text)) << c.typed;
    EXPECT_TRUE(stayedOpen) << c.typed;
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{Refusal("English text", c.holds)}) << c.typed;
    EXPECT_STREQ(Quest().rooms->text.Get(1), "Gate") << c.typed;

    // The dialog of one language refuses alike.
    boxes.boxes.clear();
    stayedOpen = false;
    script.ShowDialog([&](ui::Dialog& d) {
      dynamic_cast<CLineTextDlg&>(d).TextEdit()->setPlainText(QString::fromLatin1(c.typed));
      ClickButton(d, "&OK");
      stayedOpen = d.isVisible();
      ClickButton(d, "&Cancel");
    });
    EXPECT_FALSE(EditCurrentLanguage(Quest().monsters->name, "Name")) << c.typed;
    EXPECT_TRUE(stayedOpen) << c.typed;
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{Refusal("English text", c.holds)}) << c.typed;
    EXPECT_FALSE(Quest().monsters->name.Has(1)) << c.typed;
  }

  boxes.boxes.clear();
  script.ShowDialog([](ui::Dialog& d) {
    AsText(d).TextEdit(4)->setPlainText("Norra\nporten\tvid");
    ClickButton(d, "&OK");
  });
  EXPECT_TRUE(EditAllLanguages(Quest().rooms->text));
  EXPECT_STREQ(Quest().rooms->text.Get(4), "Norra\r\nporten\tvid");
  EXPECT_TRUE(BoxTexts().empty());
}

// Import takes no line whose text no quest script can hold; a box names the
// texts those lines were for, and the other lines are taken.
TEST_F(TextDialogsTest, ImportLeavesOutLinesNoScriptCanHoldAndNamesTheirTexts) {
  Quest().rooms->text.Set(1, "Gate");
  Quest().monsters->name.Set(1, "Orc");
  dir.Write("in.txt", "R_gate\tNorth {gate}\r\nm_orc:name\tBig\x02orc\r\nM_orc:Text\tGrunts\\r\\nloudly\r\n");
  script.AnswerFile(dir.Native("in.txt"));
  script.AnswerDialog(ui::kDialogOk, [](ui::Dialog& d) { dynamic_cast<CTextListDlg&>(d).OnImport(); });
  ASSERT_TRUE(Send(kCmdTextEdit));
  EXPECT_STREQ(Quest().rooms->text.Get(1), "Gate");
  EXPECT_STREQ(Quest().monsters->name.Get(1), "Orc");
  EXPECT_STREQ(Quest().monsters->text.Get(1), "Grunts\r\nloudly");
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                            dir.Native("in.txt") +
                            ":\nR_gate: the English text holds \"{\", which a quest script cannot hold; the line is "
                            "left out.\nM_orc:Name: the English text holds a control character (code 2), which a quest "
                            "script cannot hold; the line is left out.\n"});
}

// A voice goes into the quest's own folder. A quest whose name cannot name
// one (saved as "...qst" its name is "..", which would put its voices in
// "data"; saved as ".qst" it has none, which would put them straight in
// "data\customQuest") records no voice, and the user is told why.
class VoiceFolderTest : public TextDialogsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(VoiceFolderTest, AQuestWhoseNameCannotNameAFolderRecordsNoVoice) {
  dir.Write("rec/gate.wav", testsupport::WavBytes(testsupport::SpeechLike(0.2)));
  script.AnswerFile(dir.Native(GetParam()));
  ASSERT_TRUE(Send(ui::kCmdFileSaveAs));
  ASSERT_TRUE(dir.Exists(GetParam()));
  boxes.boxes.clear();
  script.ShowDialog([&](ui::Dialog& d) {
    script.AnswerFile(dir.Native("rec/gate.wav"));
    ClickButton(d, "Voice File...");
    ClickButton(d, "&OK");
  });
  EditAllLanguages(Quest().rooms->text);
  EXPECT_STREQ(Quest().rooms->text.GetVoiceName(), "");
  for (const char* stray : {"data/gate.mp2", "data/customQuest/gate.mp2", "gate.mp2"})
    EXPECT_FALSE(dir.Exists(stray)) << stray;
  const std::string name = platform::SplitPath(GetParam()).fname;
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"The quest name \"" + name +
                                                 "\" cannot name a folder for its voices: save the quest under "
                                                 "another name first. The voice stays as it was."});
}

INSTANTIATE_TEST_SUITE_P(Names, VoiceFolderTest, ::testing::Values("...qst", ".qst"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                           return param.index == 0 ? std::string("DotDot") : std::string("NoName");
                         });

// Voices through Merge, as a user meets them: the demo quest's texts get
// voices recorded in the text dialog and the quest is saved; a new quest,
// saved under a name, merges it and is generated.
class MergedVoicesTest : public KelvarTest {
 protected:
  void SetUp() override {
    KelvarTest::SetUp();
    ResetLastDialogFolder();
    ASSERT_TRUE(StartOnDemoQuest());
    g_languageTable.SetLanguage(1);
  }

  // Records the WAV into the text through the text dialog, clicked as a user does.
  void Record(CMultiLangText& text, const char* wav) {
    const std::string path = std::string("rec/") + wav;
    dir.Write(path, testsupport::WavBytes(testsupport::SpeechLike(0.2)));
    script.ShowDialog([&](ui::Dialog& d) {
      script.AnswerFile(dir.Native(path));
      ClickButton(d, "Voice File...");
      ClickButton(d, "&OK");
    });
    EditAllLanguages(text);
  }
};

TEST_F(MergedVoicesTest, MergeBringsTheVoicesAndGenerationPacksThemOrSaysWhichIsMissing) {
  CMachine* door = Quest().machines;
  while (door && std::string_view(door->name) != "cryptdoor") door = door->next;
  ASSERT_NE(door, nullptr);
  Record(FindMonster(Quest().monsters, "oldguard")->text, "GuardTalk01.wav");
  Record(static_cast<CMachineParamText*>(door->FindParam(3))->value, "door locked.wav");
  ASSERT_TRUE(dir.Exists("data/customQuest/demoquest/GuardTalk01.mp2"));
  ASSERT_TRUE(dir.Exists("data/customQuest/demoquest/doorlocked.mp2"));
  ASSERT_TRUE(Send(ui::kCmdFileSave));

  ASSERT_TRUE(Send(ui::kCmdFileNew));
  script.AnswerFile(dir.Native("fresh.qst"));
  ASSERT_TRUE(Send(ui::kCmdFileSaveAs));
  script.AnswerFile(dir.Native(kSampleQuestPath));
  boxes.boxes.clear();
  ASSERT_TRUE(Send(kCmdMerge));
  EXPECT_TRUE(BoxTexts().empty()) << BoxTexts().front();
  for (const char* voice : {"GuardTalk01", "doorlocked"}) {
    const std::string name = std::string("/") + voice + ".mp2";
    EXPECT_EQ(dir.Read("data/customQuest/fresh" + name), dir.Read("data/customQuest/demoquest" + name)) << voice;
  }

  for (int bank = 800; bank <= 815; ++bank) dir.Write("rozizuzi/bank/k0" + std::to_string(bank) + "_OBJ.tga", "tga");
  script.AnswerDialog(ui::kDialogOk);  // the generation dialog
  ASSERT_TRUE(Send(kCmdGenerateQuest));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Congratulation ! Quest Generation competed successfully."});
  const std::string script0 = dir.Read("data/customQuest/fresh/quest0.spt");
  EXPECT_NE(script0.find("7 {GuardTalk01}"), std::string::npos);
  EXPECT_NE(script0.find("7 {doorlocked}"), std::string::npos);
  const std::vector<std::string> names = PackageNames(dir.Read("quest/fresh.mtf"));
  for (const char* voice : {"voices\\GuardTalk01.mp2", "voices\\doorlocked.mp2"})
    EXPECT_NE(std::find(names.begin(), names.end(), voice), names.end()) << voice;

  // A voice taken away from the quest's folder: generation says which, and packs nothing.
  std::filesystem::remove(dir.Native("data/customQuest/fresh/doorlocked.mp2"));
  std::filesystem::remove(dir.Native("quest/fresh.mtf"));
  std::string report;
  AnswerGenerationWithReport(script, report);
  ASSERT_TRUE(Send(kCmdGenerateQuest));
  EXPECT_EQ(report, "Voice file data\\customQuest\\fresh\\doorlocked.mp2 not found\n\n\nQUEST GENERATION ABORTED.\n");
  EXPECT_FALSE(dir.Exists("quest/fresh.mtf"));
}

}  // namespace
}  // namespace kelvartest

namespace kelvartest {
namespace {

class MarkerCommandTest : public KelvarTest {};

TEST_F(MarkerCommandTest, MarkersAreOfferedWhileTheWorldMapIsShown) {
  WriteQuest("castle.qst", {{}, {}, {}, {"gate"}});
  ASSERT_TRUE(Start({"castle.qst"}));
  EXPECT_TRUE(Enabled(kelvar::kCmdMarker)) << "a quest opens on its map";
  EXPECT_TRUE(Enabled(kelvar::kCmdTextEdit));
  SelectInTree(kelvar::kTreeRooms, "gate");
  ASSERT_TRUE(Send(kelvar::kCmdRoomEdit));
  EXPECT_FALSE(Enabled(kelvar::kCmdMarker)) << "not over a room";
  EXPECT_TRUE(Enabled(kelvar::kCmdTextEdit));
}

// Shown, the marker list takes the focus with nothing selected: Delete,
// Rename and Goto then do nothing, and act only on the marker clicked.
TEST_F(MarkerCommandTest, ShownMarkerDialogActsOnlyOnTheMarkerTheUserSelected) {
  namespace ui = platform::ui;
  WriteQuest("castle.qst", {{}, {}, {}, {"gate"}});
  ASSERT_TRUE(StartWithModes({"castle.qst"}));
  for (const char* name : {"well", "camp"}) NewMarker(Quest().markers)->Init(name);
  Marker* well = Quest().markers->next;
  well->x = 1000;
  well->y = -200;
  Quest().mapView = {0, 0, 640, 480};
  auto shown = [](const kelvar::CMarkerDlg& dialog) {
    std::vector<std::string> names;
    for (int i = 0; i < dialog.List()->count(); ++i) names.push_back(dialog.List()->item(i)->text().toStdString());
    return names;
  };
  script.ShowDialog([&](ui::Dialog& d) {
    auto& dialog = dynamic_cast<kelvar::CMarkerDlg&>(d);
    EXPECT_TRUE(dialog.List()->hasFocus());
    ClickButton(dialog, "&Delete");
    ClickButton(dialog, "&Rename");
    ClickButton(dialog, "&Goto...");
    EXPECT_FALSE(dialog.HasEnded()) << "Goto without a selection stays";
    EXPECT_EQ(shown(dialog), (std::vector<std::string>{"camp", "well"}));
    EXPECT_EQ(script.dialogs.size(), 0u) << "Rename without a selection asks nothing";

    ClickRow(*dialog.List(), "camp");
    script.ShowDialog([](ui::Dialog& rename) {
      TypeInto(*dynamic_cast<kelvar::CParamTextDlg&>(rename).ValueEdit(), "tent");
      ClickButton(rename, "&OK");
    });
    ClickButton(dialog, "&Rename");
    EXPECT_EQ(shown(dialog), (std::vector<std::string>{"tent", "well"}));
    ClickButton(dialog, "&Delete");
    EXPECT_EQ(shown(dialog), std::vector<std::string>{"well"});
    ClickButton(dialog, "&Delete");  // the deleted marker took the selection with it
    EXPECT_EQ(shown(dialog), std::vector<std::string>{"well"});
    DoubleClickRow(*dialog.List(), "well");
    EXPECT_TRUE(dialog.HasEnded()) << "a double click goes to the marker";
  });
  ASSERT_TRUE(Send(kelvar::kCmdMarker));
  ASSERT_EQ(script.dialogs.size(), 2u);
  EXPECT_EQ(script.dialogs[1].result, ui::kDialogOk);
  ASSERT_EQ(Quest().markers, well);
  EXPECT_EQ(well->next, nullptr);
  EXPECT_EQ(Quest().mapView.left, 1000);
  EXPECT_EQ(Quest().mapView.top, -200);
  EXPECT_TRUE(Modified());
}

TEST_F(MarkerCommandTest, MarkerCommandAddsThroughTheDialogAndMarksModified) {
  WriteQuest("castle.qst", {{}, {}, {}, {"gate"}});
  ASSERT_TRUE(StartWithModes({"castle.qst"}));
  ASSERT_TRUE(Enabled(kelvar::kCmdMarker));
  script.AnswerDialog(platform::ui::kDialogOk,
                      [](platform::ui::Dialog& d) { dynamic_cast<kelvar::CMarkerDlg&>(d).OnAdd(); });
  ASSERT_TRUE(Send(kelvar::kCmdMarker));
  ASSERT_NE(Quest().markers, nullptr);
  EXPECT_STREQ(Quest().markers->name, "#0");
  EXPECT_TRUE(Modified());
}

}  // namespace
}  // namespace kelvartest

#include "editor/text_dlg.h"

#include <cctype>
#include <cstdio>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "audio/mp2_encoder.h"
#include "datafiles/file_utils.h"
#include "datafiles/multi_lang_text.h"
#include "editor/dialog_files.h"
#include "editor/dialog_strings.h"
#include "editor/generation_text.h"
#include "editor/voice_encode_dlg.h"
#include "platform/core/services.h"
#include "platform/ui/application.h"
#include "quest/kelvar_doc.h"
#include "quest/quest_texts.h"
#include "quest/script_names.h"

namespace kelvar {
namespace {

// The rows top to bottom: language, control id and row label.
struct LanguageRow {
  int language;
  int controlId;
  const char* label;
};
constexpr LanguageRow kRows[kLanguageCount] = {
    {1, 1015, "US"}, {0, 1014, "FR"}, {2, 1017, "GR"}, {3, 1016, "SP"},
    {4, 1018, "SW"}, {5, 1019, "IT"}, {6, 1020, ""},
};

}  // namespace

void RefuseUnscriptable(const UnscriptablePart& part) {
  std::string message = DescribeUnscriptablePart(part);
  message[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(message[0])));
  platform::ui::AppMessageBox(message + ". Take it out, or Cancel.", platform::kMbOk | platform::kMbIconWarning);
}

std::string VoiceNameFromPath(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  if (const std::size_t dot = path.find_last_of('.'); dot != std::string_view::npos) path = path.substr(0, dot);
  std::string name;
  for (const char c : path) {
    if (name.size() == CMultiLangText::kVoiceNameSize - 1) break;
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  }
  return name;
}

CTextDlg::CTextDlg(QWidget* parent)
    : Dialog(parent), voiceEdit_(new QLineEdit(this)), voiceButton_(new QPushButton("Voice File...", this)) {
  setWindowTitle("Text...");
  auto* grid = new QGridLayout;
  for (int row = 0; row < kLanguageCount; ++row) {
    const LanguageRow& r = kRows[row];
    auto* edit = new QPlainTextEdit(this);
    edit->setObjectName(QString("edit%1").arg(r.controlId));
    edit->setTabChangesFocus(true);
    edit->setMinimumSize(420, 44);
    edit->setMaximumHeight(60);
    edits_[static_cast<std::size_t>(r.language)] = edit;
    grid->addWidget(new QLabel(r.label, this), row, 0);
    grid->addWidget(edit, row, 1);
  }
  voiceEdit_->setObjectName("edit1106");
  voiceEdit_->setReadOnly(true);
  voiceButton_->setObjectName("button1105");
  connect(voiceButton_, &QPushButton::clicked, this, [this] { OnVoiceFile(); });
  auto* voiceRow = new QHBoxLayout;
  voiceRow->addWidget(voiceButton_);
  voiceRow->addWidget(voiceEdit_);

  QPushButton* ok = MakeOkButton();
  ok->setObjectName("button1094");
  QPushButton* cancel = MakeCancelButton();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(voiceRow);
  layout->addLayout(buttons);
}

void CTextDlg::LoadFrom(const CMultiLangText& text) {
  for (int language = 0; language < kLanguageCount; ++language)
    texts[static_cast<std::size_t>(language)] = text.Get(language);
  voiceName = text.GetVoiceName();
}

bool CTextDlg::StoreTo(CMultiLangText& text) const {
  bool changed = voiceName.substr(0, CMultiLangText::kVoiceNameSize - 1) != text.GetVoiceName();
  for (int language = 0; language < kLanguageCount; ++language) {
    const std::string& value = texts[static_cast<std::size_t>(language)];
    if (value != text.Get(language)) changed = true;
    text.Set(language, value.c_str());
  }
  text.SetVoiceName(voiceName);
  return changed;
}

bool CTextDlg::OnInitDialog() {
  ShowMembers();
  return true;
}

void CTextDlg::OnOK() {
  TakeControls();
  for (const LanguageRow& row : kRows) {
    const std::string fault = ScriptTextFault(texts[static_cast<std::size_t>(row.language)]);
    if (fault.empty()) continue;
    RefuseUnscriptable(UnscriptablePart{row.language, fault});
    TextEdit(row.language)->setFocus();
    return;
  }
  if (const std::string fault = ScriptNameFault(voiceName); !fault.empty()) {
    RefuseUnscriptable(UnscriptablePart{UnscriptablePart::kVoice, fault});
    return;
  }
  Dialog::OnOK();
}

void CTextDlg::TakeControls() {
  for (int language = 0; language < kLanguageCount; ++language)
    texts[static_cast<std::size_t>(language)] = EditToGameText(TextEdit(language)->toPlainText());
}

void CTextDlg::ShowMembers() {
  for (int language = 0; language < kLanguageCount; ++language)
    TextEdit(language)->setPlainText(GameTextToEdit(texts[static_cast<std::size_t>(language)]));
  voiceEdit_->setText(GameTextToEdit(voiceName));
}

void CTextDlg::OnVoiceFile() {
  TakeControls();
  // The voice goes into the quest's own folder, which the quest's name must be able to name.
  const CKelvarDoc* document = CurrentDocument();
  const std::string quest = document ? document->QuestName() : std::string();
  if (!IsPlainFileName(quest)) {
    platform::ui::AppMessageBox("The quest name \"" + quest +
                                    "\" cannot name a folder for its voices: save the quest under another name "
                                    "first. The voice stays as it was.",
                                platform::kMbOk);
    ShowMembers();
    return;
  }
  const auto chosen = ChooseFileToOpen(".WAV", kIdsWavFilter);
  if (!chosen) {
    voiceName.clear();
    ShowMembers();
    return;
  }
  const std::string name = VoiceNameFromPath(*chosen);
  if (name.empty()) {
    platform::ui::AppMessageBox("The name of the wave file " + *chosen +
                                    " has no letter or digit: rename the file so that it can name the voice.",
                                platform::kMbOk);
    ShowMembers();
    return;
  }
  const std::string output = QuestVoicePath(quest, name);
  if (!IsPcmMono44k(chosen->c_str())) {
    ShowStringBox(kIdsInvalidWave);
    ShowMembers();
    return;
  }
  int result = 1;
  {
    CVoiceEncodeDlg notice(this);
    notice.ShowModeless();
    result = EncodeWavToMp2(*chosen, output);
    notice.EndModeless();
  }
  if (result == 0) {
    voiceName = name;
  } else {
    platform::ui::AppMessageBox("Encoding " + *chosen + " to " + output + " failed. The voice stays as it was.",
                                platform::kMbOk);
  }
  ShowMembers();
}

bool TextsEqual(const CMultiLangText& a, const CMultiLangText& b) {
  for (int language = 0; language < kLanguageCount; ++language)
    if (std::string_view(a.Get(language)) != b.Get(language)) return false;
  return std::string_view(a.GetVoiceName()) == b.GetVoiceName();
}

bool EditAllLanguages(CMultiLangText& text) {
  CTextDlg dialog;
  dialog.LoadFrom(text);
  if (dialog.DoModal() != platform::ui::kDialogOk) return false;
  return dialog.StoreTo(text);
}

}  // namespace kelvar

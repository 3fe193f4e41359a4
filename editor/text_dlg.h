#pragma once
// "Text...": one text of the quest in all seven languages with its voice. The
// voice button turns a recording into the quest's ".mp2" at once.
#include <array>
#include <string>
#include <string_view>

#include "datafiles/language_table.h"
#include "platform/ui/dialog.h"

class CMultiLangText;
struct UnscriptablePart;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kelvar {

// Tells the user that the text dialog's text cannot go into a quest script.
void RefuseUnscriptable(const UnscriptablePart& part);

// The letters and digits of the file's name (no folder, no extension), at most 79.
std::string VoiceNameFromPath(std::string_view path);

class CTextDlg : public platform::ui::Dialog {
 public:
  explicit CTextDlg(QWidget* parent = nullptr);

  // The seven texts as stored (no fallback) and the voice name.
  void LoadFrom(const CMultiLangText& text);
  // Stores the seven texts (an empty one is removed) and the voice name;
  // true when the text changed.
  bool StoreTo(CMultiLangText& text) const;

  // Game texts (Windows-1252, CR LF inside), by language index.
  std::array<std::string, kLanguageCount> texts;
  std::string voiceName;

  // "Voice File...": choose a recording, check its format and encode it.
  void OnVoiceFile();

  QPlainTextEdit* TextEdit(int language) const { return edits_[static_cast<std::size_t>(language)]; }
  QLineEdit* VoiceEdit() const { return voiceEdit_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  void TakeControls();
  void ShowMembers();

  std::array<QPlainTextEdit*, kLanguageCount> edits_{};
  QLineEdit* voiceEdit_;
  QPushButton* voiceButton_;
};

// The same seven texts and voice name.
bool TextsEqual(const CMultiLangText& a, const CMultiLangText& b);

// Runs the dialog on the text; true when OK changed it.
bool EditAllLanguages(CMultiLangText& text);

}  // namespace kelvar

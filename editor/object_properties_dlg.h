#pragma once
// "Object properties...": a quest object's key, the game item object it
// derives from, its names, quest flag, sprite cell and custom mesh. The
// dialog works on copies; the caller stores them on OK.
#include <string>

#include "datafiles/multi_lang_text.h"
#include "datafiles/trisprite_table.h"
#include "quest/object_picture.h"
#include "platform/ui/dialog.h"

class CQuestObject;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QImage;
class QSize;

namespace kelvar {

class CPreviewControl;

// An object's picture for a preview, drawn centred on grey (only the grey
// when it shows nothing). A null image without a display.
QImage PaintObjectLook(QSize size, const ObjectPicture& picture);

class CObjectPropertiesDlg : public platform::ui::Dialog {
 public:
  static constexpr int kQuestFlag = 32;

  // `edited` is the object being edited (null for a new one); the fields
  // start from it.
  explicit CObjectPropertiesDlg(CQuestObject* edited, QWidget* parent = nullptr);

  // Copies the fields into the object; true when something changed.
  bool StoreTo(CQuestObject& object) const;

  void OnOrigin();
  void OnName();
  void OnText();
  void OnSprite();
  void OnMesh();

  CQuestObject* edited = nullptr;
  std::string key;
  std::string origin;
  bool quest = true;
  CMultiLangText comment;
  CMultiLangText name;
  TrispriteRecord sprite;
  std::string mesh;

  QLineEdit* KeyEdit() const { return keyEdit_; }
  QLineEdit* OriginEdit() const { return originEdit_; }
  QPlainTextEdit* DescriptionEdit() const { return descriptionEdit_; }
  QCheckBox* QuestCheck() const { return questCheck_; }
  QLineEdit* NameEdit() const { return nameEdit_; }
  QLineEdit* CommentEdit() const { return commentEdit_; }
  CPreviewControl* Preview() const { return preview_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  void ShowTexts();
  void ShowDescription();

  QLineEdit* keyEdit_;
  QLineEdit* originEdit_;
  QPlainTextEdit* descriptionEdit_;
  QCheckBox* questCheck_;
  QLineEdit* commentEdit_;
  QLineEdit* nameEdit_;
  QPushButton* originButton_;
  QPushButton* spriteButton_;
  QPushButton* meshButton_;
  CPreviewControl* preview_;
};

}  // namespace kelvar

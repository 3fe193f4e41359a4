#pragma once
// "Monster...": a quest monster's key, its class, the gift it gives, life,
// damage and its three texts, with the class's animated preview. The dialog
// works on copies; the caller stores them on OK.
#include <string>

#include "datafiles/multi_lang_text.h"
#include "editor/skeleton_preview.h"
#include "platform/ui/dialog.h"

class CMonster;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace kelvar {

class CPreviewControl;

// The class's information: display name, life and damage as the game scales
// them ("%s\r\nLife :%d-%d\r\nDamage : %d-%d"); empty for a class index below 0.
std::string MonsterOriginInformation(int classIndex);

class CMonsterDlg : public platform::ui::Dialog {
 public:
  static constexpr int kPreviewTimer = 2;
  static constexpr int kPreviewMs = 50;

  explicit CMonsterDlg(CMonster* edited, QWidget* parent = nullptr);

  // Copies the fields into the monster; true when something changed.
  bool StoreTo(CMonster& monster) const;

  void OnOrigin();
  void OnGive();
  void OnName();
  void OnText0();
  void OnDeathText();
  void OnSkelFile();
  void OnInstances();

  CMonster* edited = nullptr;
  std::string key;
  int damageMin = 0;
  int damageMax = 0;
  int life = 0;
  std::string origin;
  std::string gift;
  CMultiLangText name;
  CMultiLangText text;
  CMultiLangText deathText;
  std::string skeletonFile;  // edited, never stored
  // The origin class's animated model.
  CSkeletonPreview preview;

  QLineEdit* KeyEdit() const { return keyEdit_; }
  QLineEdit* DamageMinEdit() const { return damageMinEdit_; }
  QLineEdit* DamageMaxEdit() const { return damageMaxEdit_; }
  QLineEdit* LifeEdit() const { return lifeEdit_; }
  QPlainTextEdit* OriginInformation() const { return originInfo_; }
  QLineEdit* GiftDescription() const { return giftDescription_; }
  QPushButton* InstancesButton() const { return instancesButton_; }
  CPreviewControl* Preview() const { return preview_; }
  CPreviewControl* GiftPreview() const { return giftPreview_; }
  int TimerTicks() const { return ticks_; }
  // True when instances were added or deleted through the instances dialog.
  bool InstancesChanged() const { return instancesChanged_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnTimer(int id) override;
  void OnDestroy() override;

 private:
  void ShowTexts();
  void ShowOrigin();
  void ShowGift();

  QLineEdit* keyEdit_;
  QLineEdit* damageMinEdit_;
  QLineEdit* damageMaxEdit_;
  QLineEdit* lifeEdit_;
  QLineEdit* originEdit_;
  QLineEdit* giftEdit_;
  QLineEdit* nameEdit_;
  QLineEdit* textEdit_;
  QLineEdit* deathEdit_;
  QPlainTextEdit* originInfo_;
  QLineEdit* giftDescription_;
  QPushButton* originButton_;
  QPushButton* giveButton_;
  QPushButton* instancesButton_;
  CPreviewControl* preview_;
  CPreviewControl* giftPreview_;
  int ticks_ = 0;
  bool instancesChanged_ = false;
};

}  // namespace kelvar

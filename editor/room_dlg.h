#pragma once
// "Room": a room's name, land, level, name text, Level and Entrance flags,
// and a room file or block set to import. The dialog works on copies; the
// caller stores them and imports the file on OK.
#include <string>

#include "datafiles/multi_lang_text.h"
#include "platform/ui/dialog.h"
#include "platform/ui/list_box.h"

class CRoom;
class QCheckBox;
class QLineEdit;

namespace kelvar {

class CRoomDlg : public platform::ui::Dialog {
 public:
  explicit CRoomDlg(CRoom* edited, QWidget* parent = nullptr);

  // Copies name, land, level, flags and name text into the room; true when
  // one of them changed.
  bool StoreTo(CRoom& room) const;

  void OnLandChange(int row);
  void OnLevelChange(int row);
  void OnName();
  void OnImport();
  void OnLoadBank();

  CRoom* edited = nullptr;
  std::string key;
  int land = 0;
  int level = 0;
  CMultiLangText name;
  bool levelFlag = false;
  bool entrance = false;
  std::string cdfPath;
  std::string cbsPath;

  QLineEdit* KeyEdit() const { return keyEdit_; }
  platform::ui::ListBox* LandList() const { return landList_; }
  platform::ui::ListBox* LevelList() const { return levelList_; }
  QCheckBox* LevelCheck() const { return levelCheck_; }
  QCheckBox* EntranceCheck() const { return entranceCheck_; }
  QLineEdit* CdfEdit() const { return cdfEdit_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;

 private:
  void AddLevel(int level);
  // Enables and clears the two boxes as the level allows.
  void ApplyLevelRules();

  QLineEdit* keyEdit_;
  platform::ui::ListBox* landList_;
  platform::ui::ListBox* levelList_;
  QLineEdit* nameEdit_;
  QCheckBox* levelCheck_;
  QCheckBox* entranceCheck_;
  QLineEdit* cdfEdit_;
};

}  // namespace kelvar

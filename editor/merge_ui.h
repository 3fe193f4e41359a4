#pragma once
// Merge's side in the editor: the file dialog that chooses the second quest,
// and the views refreshed once it was merged.
#include "quest/quest_merge.h"

namespace kelvar {

class MergeUi : public IMergeUi {
 public:
  std::optional<std::string> ChooseQuestFile(const std::string& directory) override;
  void RefreshViews() override;
};

// The program's one instance.
MergeUi& TheMergeUi();

}  // namespace kelvar

#pragma once
// The notice shown while a voice recording is encoded.
#include "platform/ui/dialog.h"

namespace kelvar {

class CVoiceEncodeDlg : public platform::ui::Dialog {
 public:
  explicit CVoiceEncodeDlg(QWidget* parent = nullptr);
};

}  // namespace kelvar

#include "editor/element_pickers.h"

namespace kelvar {

ElementPickers& Pickers() {
  static ElementPickers pickers;
  return pickers;
}

void ResetPickers() { Pickers() = ElementPickers{}; }

}  // namespace kelvar

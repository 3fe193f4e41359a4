#include "editor/display_objects.h"

namespace kelvar {

DisplayObjects& Display() {
  static DisplayObjects objects;
  return objects;
}

}  // namespace kelvar

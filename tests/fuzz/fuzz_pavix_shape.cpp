// The SHAPE record stream of ".SHP" meshes, from arbitrary bytes. An unknown
// record version ends the program after its box; here that is an exception.
#include <cstddef>
#include <cstdint>
#include <span>

#include "meshedit/core/mtf_file.h"
#include "pavix_check.h"
#include "platform/core/services.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static platform::ScriptedServices* ui = new platform::ScriptedServices;
  ui->boxes.clear();
  pavix::MtfFilePtr file = pavix::MtfFromBytes(std::span(data, size));
  pavix::CShape shape;
  try {
    if (shape.ReadShape(file.get())) {
      pavixfuzz::CheckShape(shape);
      pavixfuzz::Exercise(shape);
    } else if (!shape.vertices.empty() || !shape.sides.empty()) {
      __builtin_trap();  // a failed read leaves the mesh as it was
    }
  } catch (const platform::ProgramExit&) {
    if (ui->boxes.size() != 1) __builtin_trap();
  }
  return 0;
}

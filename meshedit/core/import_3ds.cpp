// The 3D Studio binary file (".3DS"): chunks of u16 id and u32 length (the
// 6-byte header included), walked flat; the mesh chunks are entered, the
// vertex and face lists read, everything else skipped.
#include <bit>
#include <cstdio>

#include "datafiles/common/debug_trace.h"
#include "datafiles/common/little_endian.h"
#include "meshedit/core/model_import.h"
#include "meshedit/core/path_names.h"
#include "meshedit/core/shape.h"

namespace pavix {

namespace {

class Cursor {
 public:
  explicit Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::size_t pos = 0;
  std::size_t size() const { return bytes_.size(); }
  bool Has(std::size_t n) const { return pos <= bytes_.size() && bytes_.size() - pos >= n; }
  std::uint8_t U8() { return bytes_[pos++]; }
  std::uint16_t U16() {
    const std::uint16_t v = LoadLe16(&bytes_[pos]);
    pos += 2;
    return v;
  }
  std::uint32_t U32() {
    const std::uint32_t v = LoadLe32(&bytes_[pos]);
    pos += 4;
    return v;
  }
  float F32() { return std::bit_cast<float>(U32()); }

 private:
  std::span<const std::uint8_t> bytes_;
};

// The chunks whose body is other chunks (after the object's name).
bool Encloses(std::uint16_t id) { return id == 0x4D4D || id == 0x3D3D || id == 0x4000 || id == 0x4100; }

}  // namespace

ImportResult Read3dsBytes(std::span<const std::uint8_t> bytes, CShape& shape) {
  ImportResult result;
  CShape read = ImportTarget(shape);
  CShape object;
  UnusableCount unusable;
  Cursor in(bytes);
  while (in.Has(6)) {
    const std::size_t start = in.pos;
    const std::uint16_t id = in.U16();
    const std::uint32_t length = in.U32();
    // A length that cannot hold its own header ends the walk, and so does one
    // that runs past the file, unless the chunk only encloses others: a file
    // cut short still gives the objects it holds whole, and what was read
    // before stays.
    const bool past = length > in.size() - start;
    if (length < 6 || past) {
      DebugTrace("Bad chunk %x at %zu:%u\n", id, start, length);
      // The chunk's own terms mean nothing to the user: what the file lacks does.
      char what[160];
      if (length < 6)
        std::snprintf(what, sizeof what,
                      "the file is damaged at byte %zu: a block there gives its length as %u bytes, "
                      "too few to hold its own 6-byte heading",
                      start, length);
      else
        std::snprintf(what, sizeof what, "the file is cut short: it holds %zu of the %llu bytes it claims", in.size(),
                      static_cast<unsigned long long>(start) + length);
      result.Damaged(what);
      if (length < 6 || !Encloses(id)) break;
    }
    const std::size_t end = past ? in.size() : start + length;
    switch (id) {
      case 0x0000:
        DebugTrace("NULL:%u\n", length);
        break;
      case 0x0002:
        DebugTrace("M3DVERSION:%u\n", length);
        in.pos = end;
        break;
      case 0x3D3D:
        DebugTrace("OBJMESH:%u\n", length);
        break;
      case 0x4000: {
        DebugTrace("OBJBLOCK:%u\n", length);
        // The name runs to its zero, however long, but never out of the chunk.
        while (in.pos < end && in.U8() != 0) {
        }
        break;
      }
      case 0x4100:
        DebugTrace("TRIMESH:%u\n", length);
        break;
      case 0x4110: {
        DebugTrace("VERTLIST:%u\n", length);
        if (!in.Has(2) || in.pos + 2 > end) {
          in.pos = end;
          break;
        }
        const std::uint16_t count = in.U16();
        if (count != 0) {
          const std::size_t n = std::min<std::size_t>(count, (end - in.pos) / 12);
          if (n < count) result.Damaged("a vertex list holds fewer vertices than its count");
          object.vertices.assign(n, CShapeVertex{});
          for (CShapeVertex& v : object.vertices) {
            const float x = in.F32(), y = in.F32(), z = in.F32();
            v.position = {x, z, y};
          }
        }
        in.pos = end;
        break;
      }
      case 0x4111:
        DebugTrace("POINTFLAGARRAY:%u\n", length);
        in.pos = end;
        break;
      case 0x4120: {
        DebugTrace("FACELIST:%u\n", length);
        if (in.pos + 2 > end) {
          in.pos = end;
          break;
        }
        const std::uint16_t count = in.U16();
        if (count != 0) {
          const std::size_t n = std::min<std::size_t>(count, (end - in.pos) / 8);
          if (n < count) result.Damaged("a face list holds fewer faces than its count");
          const auto nv = static_cast<std::uint32_t>(object.vertices.size());
          object.sides = {};
          object.sides.reserve(n);
          for (std::size_t i = 0; i < n; ++i) {
            const std::uint16_t a = in.U16(), b = in.U16(), c = in.U16();
            in.U16();  // face flags
            // Faces naming vertices the object does not have are dropped.
            if (a >= nv || b >= nv || c >= nv) {
              result.Damaged("faces name vertices their object does not have");
              continue;
            }
            object.sides.push_back(PlaceholderSide(c, b, a));
          }
          LeaveOutUnusable(object, unusable);
          read.Merge(object);
          object.vertices = {};
          object.sides = {};
        }
        in.pos = end;
        break;
      }
      case 0x4140:
        DebugTrace("MAPLIST:%u\n", length);
        in.pos = end;
        break;
      case 0x4160:
        DebugTrace("TRMATRIX:%u\n", length);
        in.pos = end;
        break;
      case 0x4D4D:
        DebugTrace("MAIN:%u\n", length);
        break;
      default:
        DebugTrace("Chunk %x:%u\n", id, length);
        in.pos = end;
        break;
    }
  }
  NoteUnusable(unusable, result);
  return FinishImport(read, shape, std::move(result));
}

int CShape::Import3ds(std::string_view path, ImportResult* result) {
  return ImportModelFile(
      ReplaceExtension(path, ".3DS"), *this,
      [](std::string_view bytes, CShape& shape) {
        return Read3dsBytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), shape);
      },
      result);
}

}  // namespace pavix

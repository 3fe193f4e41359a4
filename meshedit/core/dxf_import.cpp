// The drawing exchange file (".DXF"): pairs of lines, a group code and a
// value; only 3DFACE entities are taken.
#include <cmath>

#include "datafiles/common/debug_trace.h"
#include "meshedit/core/coordinate_limit.h"
#include "meshedit/core/model_import.h"
#include "meshedit/core/path_names.h"
#include "meshedit/core/shape.h"
#include "meshedit/core/text_token.h"
#include "platform/core/paths.h"

namespace pavix {

namespace {

constexpr std::size_t kValueCapacity = 256;  // with the terminator

class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}
  // The next line without its end ("\n" or "\r\n"); false at the end.
  bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

struct Pair {
  int code = -1;
  std::string value;
};

// Values are whole lines: empty values and values with spaces are ordinary.
bool NextPair(LineReader& lines, Pair& pair) {
  std::string_view codeLine, valueLine;
  if (!lines.Next(codeLine) || !lines.Next(valueLine)) return false;
  codeLine = Trim(codeLine);
  const long long code = ParseInteger(codeLine);
  const bool numeric = !codeLine.empty() && (std::isdigit(static_cast<unsigned char>(codeLine[0])) ||
                                             codeLine[0] == '-' || codeLine[0] == '+');
  pair.code = numeric && code >= -32768 && code <= 32767 ? static_cast<int>(code) : -1;
  pair.value.assign(valueLine.substr(0, kValueCapacity - 1));
  DebugTrace("%d %s\n", pair.code, pair.value.c_str());
  return true;
}

bool IsFaceStart(const Pair& p) { return p.code == 0 && platform::EqualsNoCase(Trim(p.value), "3DFACE"); }

}  // namespace

ImportResult ReadDxfText(std::string_view text, CShape& shape) {
  ImportResult result;
  CShape read = ImportTarget(shape);
  VertexWelder welder(read);
  int faces = 0, incomplete = 0;
  UnusableCount unusable;
  LineReader lines(text);
  Pair pair;
  bool have = NextPair(lines, pair);
  while (have) {
    if (!IsFaceStart(pair)) {
      have = NextPair(lines, pair);
      continue;
    }
    float coord[4][3] = {};
    unsigned given = 0;
    while ((have = NextPair(lines, pair)) && pair.code != 0) {
      const int corner = pair.code % 10;
      const int axis = pair.code / 10 - 1;
      if (pair.code < 10 || pair.code > 33 || corner > 3 || axis > 2) continue;
      const std::string_view v = Trim(pair.value);
      if (v.empty()) continue;
      coord[corner][axis] = UsableOrNan(ParseReal(v));
      given |= 1u << (corner * 3 + axis);
    }
    ++faces;
    if (given != 0xFFF) {  // the pair that ended the entity is looked at next
      ++incomplete;
      continue;
    }
    const CVector p0{coord[0][0], coord[0][1], coord[0][2]};
    const CVector p1{coord[1][0], coord[1][1], coord[1][2]};
    const CVector p2{coord[2][0], coord[2][1], coord[2][2]};
    const CVector p3{coord[3][0], coord[3][1], coord[3][2]};
    if (!IsUsablePosition(p0) || !IsUsablePosition(p1) || !IsUsablePosition(p2) || !IsUsablePosition(p3)) {
      ++unusable.faces;
      continue;
    }
    if (!(p2 == p3)) read.AddQuad(p3, p2, p1, p0, &welder);
    else read.AddTriangle(p2, p1, p0, &welder);
  }
  if (faces == 0) return {ImportResult::kRefused, "it holds no 3DFACE entity"};
  unusable.facesRead = faces;
  NoteUnusable(unusable, result);
  if (incomplete)
    result.Damaged(std::to_string(incomplete) + " of its " + std::to_string(faces) +
                   " 3DFACE entities lack a corner's coordinates and were left out");
  if (read.nodes.empty()) read.SetSingleNode({0, 0, 0}, {0, 0, 10});
  return FinishImport(read, shape, std::move(result));
}

int CShape::ImportDxf(std::string_view path, ImportResult* result) {
  return ImportModelFile(ReplaceExtension(path, ".DXF"), *this, ReadDxfText, result);
}

}  // namespace pavix

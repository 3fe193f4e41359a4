// The 3D Studio ASCII export (".ASC").
#include "meshedit/core/coordinate_limit.h"
#include "meshedit/core/model_import.h"
#include "meshedit/core/path_names.h"
#include "meshedit/core/shape.h"
#include "meshedit/core/text_token.h"

namespace pavix {

namespace {

float NextReal(TextReader& r) {
  std::string token;
  ReadTextToken(r, token);
  return UsableOrNan(ParseReal(token));
}

long long NextInteger(TextReader& r) {
  std::string token;
  ReadTextToken(r, token);
  return ParseInteger(token);
}

// The value after the next keyword; false when the text ends first.
bool Keyed(TextReader& r, const char* key, float& value) {
  if (!FindTextToken(r, key)) return false;
  value = NextReal(r);
  return true;
}

bool Keyed(TextReader& r, const char* key, long long& value) {
  if (!FindTextToken(r, key)) return false;
  value = NextInteger(r);
  return true;
}

}  // namespace

ImportResult ReadAscText(std::string_view text, CShape& shape) {
  ImportResult result;
  TextReader r(text);
  long long nv = 0, ns = 0;
  if (!FindTextToken(r, "Vertices")) return {ImportResult::kRefused, "it holds no vertex count (\"Vertices\")"};
  nv = NextInteger(r);
  if (!FindTextToken(r, "Faces")) return {ImportResult::kRefused, "it holds no face count (\"Faces\")"};
  ns = NextInteger(r);
  // A vertex or face takes several tokens: a count beyond the text's length
  // is a damaged file, refused before anything is allocated for it.
  const auto bound = static_cast<long long>(text.size() / 8);
  if (nv < 0 || ns < 0 || nv > bound || ns > bound)
    return {ImportResult::kRefused, "its vertex or face count is more than the file holds"};

  CShape read = ImportTarget(shape);
  read.SetVertexCount(static_cast<int>(nv));
  FindTextToken(r, "list");
  for (CShapeVertex& v : read.vertices) {
    float x = 0, y = 0, z = 0;
    if (!Keyed(r, "X", x) || !Keyed(r, "Y", y) || !Keyed(r, "Z", z))
      return {ImportResult::kRefused, "the vertex list ends early"};
    v.position = {x, z, y};
    v.normal = {0, 0, 1};
  }
  FindTextToken(r, "list");
  long long dropped = 0;
  for (long long i = 0; i < ns; ++i) {
    long long a = 0, b = 0, c = 0;
    if (!FindTextToken(r, "Face") || !Keyed(r, "A", a) || !Keyed(r, "B", b) || !Keyed(r, "C", c)) {
      result.Damaged("the face list ends after " + std::to_string(i) + " of its " + std::to_string(ns) + " faces");
      break;
    }
    if (a < 0 || b < 0 || c < 0 || a >= nv || b >= nv || c >= nv) {
      ++dropped;
      continue;
    }
    const int index = read.AddSide(PlaceholderSide(static_cast<std::uint32_t>(c), static_cast<std::uint32_t>(b),
                                                   static_cast<std::uint32_t>(a)));
    read.RotateToTopEdge(index);
  }
  if (dropped) result.Damaged(std::to_string(dropped) + " faces name vertices the model does not have");
  UnusableCount unusable;
  LeaveOutUnusable(read, unusable);
  NoteUnusable(unusable, result);
  read.SetSingleNode({0, 0, 0}, {0, 0, 1});
  return FinishImport(read, shape, std::move(result));
}

int CShape::ImportAsc(std::string_view path, ImportResult* result) {
  return ImportModelFile(ReplaceExtension(path, ".ASC"), *this, ReadAscText, result);
}

}  // namespace pavix

// The 3D Studio ASCII export (".ASC").
#include "meshedit/core/model_import.h"
#include "meshedit/core/path_names.h"
#include "meshedit/core/shape.h"
#include "meshedit/core/text_token.h"

namespace pavix {

namespace {

float NextReal(TextReader& r) {
  std::string token;
  ReadTextToken(r, token);
  return static_cast<float>(ParseReal(token));
}

long long NextInteger(TextReader& r) {
  std::string token;
  ReadTextToken(r, token);
  return ParseInteger(token);
}

}  // namespace

bool ReadAscText(std::string_view text, CShape& shape) {
  TextReader r(text);
  long long nv = 0, ns = 0;
  if (FindTextToken(r, "Vertices")) nv = NextInteger(r);
  if (FindTextToken(r, "Faces")) ns = NextInteger(r);
  // A vertex or face takes several tokens: a count beyond the text's length
  // is a damaged file, refused before anything is allocated for it.
  const auto bound = static_cast<long long>(text.size() / 8);
  if (nv < 0 || ns < 0 || nv > bound || ns > bound) return false;

  shape.vertices = {};
  shape.sides = {};
  shape.nodes = {};
  shape.SetVertexCount(static_cast<int>(nv));
  FindTextToken(r, "list");
  for (CShapeVertex& v : shape.vertices) {
    FindTextToken(r, "X");
    const float x = NextReal(r);
    FindTextToken(r, "Y");
    const float y = NextReal(r);
    FindTextToken(r, "Z");
    const float z = NextReal(r);
    v.position = {x, z, y};
    v.normal = {0, 0, 1};
  }
  FindTextToken(r, "list");
  for (long long i = 0; i < ns; ++i) {
    FindTextToken(r, "Face");
    FindTextToken(r, "A");
    const long long a = NextInteger(r);
    FindTextToken(r, "B");
    const long long b = NextInteger(r);
    FindTextToken(r, "C");
    const long long c = NextInteger(r);
    if (a < 0 || b < 0 || c < 0 || a >= nv || b >= nv || c >= nv) continue;
    const int index = shape.AddSide(PlaceholderSide(static_cast<std::uint32_t>(c), static_cast<std::uint32_t>(b),
                                                    static_cast<std::uint32_t>(a)));
    shape.RotateToTopEdge(index);
  }
  shape.SetSingleNode({0, 0, 0}, {0, 0, 1});
  shape.Rebuild();
  return true;
}

int CShape::ImportAsc(std::string_view path) {
  const std::optional<std::string> text = ReadModelFile(ReplaceExtension(path, ".ASC"));
  if (!text) return 0;
  return ReadAscText(*text, *this) ? 1 : 0;
}

}  // namespace pavix

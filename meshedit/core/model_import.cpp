#include "meshedit/core/model_import.h"

#include <algorithm>
#include <utility>

#include "meshedit/core/coordinate_limit.h"
#include "meshedit/core/shape.h"
#include "platform/core/file.h"

namespace pavix {

void ImportResult::Damaged(std::string what) {
  if (status == kImported) status = kImportedPart;
  if (problem.empty()) problem = std::move(what);
}

std::optional<std::string> ReadModelFile(std::string_view path, int* cause) {
  try {
    return platform::ReadWholeFile(path);
  } catch (const platform::FileException& e) {
    if (cause) *cause = e.cause();
    return std::nullopt;
  }
}

CSide PlaceholderSide(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  CSide s;
  s.index[0] = a;
  s.index[1] = b;
  s.index[2] = c;
  s.index[3] = c;
  s.uv[0] = {0, 0};
  s.uv[1] = {0.0005f, 0};
  s.uv[2] = {0, 0.0005f};
  s.uv[3] = {0, 0};
  s.flags = 3;
  return s;
}

CShape ImportTarget(CShape& current) {
  // The geometry steps aside while the rest is copied, so it is not copied for nothing.
  std::vector<CShapeVertex> vertices = std::move(current.vertices);
  std::vector<CSide> sides = std::move(current.sides);
  std::vector<CShapeNode> nodes = std::move(current.nodes);
  CShape read = current;
  current.vertices = std::move(vertices);
  current.sides = std::move(sides);
  current.nodes = std::move(nodes);
  read.vertices.clear();
  read.sides.clear();
  read.nodes.clear();
  return read;
}

namespace {

// "not all numbers between -10000000 and 10000000"
std::string OutOfRange() {
  const std::string bound = std::to_string(static_cast<long long>(kMaxCoordinate));
  return "not all numbers between -" + bound + " and " + bound;
}

}  // namespace

void LeaveOutUnusable(CShape& read, UnusableCount& count) {
  const std::size_t nv = read.vertices.size();
  count.facesRead += static_cast<long long>(read.sides.size());
  count.verticesRead += static_cast<long long>(nv);
  const auto unusable = [&](const CSide& s) {
    for (int j = 0; j < s.CornerCount(); ++j)
      if (s.index[j] < nv && !IsUsablePosition(read.vertices[s.index[j]].position)) return true;
    return false;
  };
  count.faces += static_cast<long long>(std::erase_if(read.sides, unusable));
  bool any = false;
  for (CShapeVertex& v : read.vertices) {
    if (IsUsablePosition(v.position)) {
      v.flags &= static_cast<std::uint8_t>(~kVertexRemove);
    } else {
      v.flags |= kVertexRemove;
      ++count.vertices;
      any = true;
    }
  }
  if (any) read.RemoveMarkedVertices();
}

void NoteUnusable(const UnusableCount& count, ImportResult& result) {
  if (count.faces != 0)
    result.Damaged(std::to_string(count.faces) + " of its " + std::to_string(count.facesRead) +
                   " faces have a corner whose coordinates are " + OutOfRange() + "; those faces were left out");
  else if (count.vertices != 0)
    result.Damaged(std::to_string(count.vertices) + " of its " + std::to_string(count.verticesRead) +
                   " vertices have coordinates " + OutOfRange() + "; those vertices were left out");
}

ImportResult FinishImport(CShape& read, CShape& current, ImportResult result) {
  if (result.status == ImportResult::kRefused) return result;
  read.Rebuild();
  if (read.sides.empty()) {
    result.status = ImportResult::kRefused;
    if (result.problem.empty()) result.problem = "it holds no faces";
    return result;
  }
  current = std::move(read);
  return result;
}

int ImportModelFile(const std::string& path, CShape& shape, ImportResult (*reader)(std::string_view, CShape&),
                    ImportResult* result) {
  int cause = 0;
  const std::optional<std::string> bytes = ReadModelFile(path, &cause);
  const ImportResult r = bytes ? reader(*bytes, shape)
                               : ImportResult{ImportResult::kRefused,
                                              "the file cannot be read, error = " + std::to_string(cause)};
  if (result) *result = r;
  return r.Imported() ? 1 : 0;
}

}  // namespace pavix

#pragma once
// What the three model importers share, and their readers over bytes already
// in memory (the Import functions of CShape read the file, then call these).
//
// A reader builds the model aside and puts it in place of the mesh's
// vertices, sides and nodes (keeping the mesh's other parts, its progressive
// data among them) only when it gave at least one side. A file that gives
// none is refused and the mesh stays as it was; a file damaged after some
// sides were read is imported as far as it reads, and says what was wrong.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "meshedit/core/side.h"

namespace pavix {

class CShape;

struct ImportResult {
  enum Status { kImported, kImportedPart, kRefused };
  Status status = kImported;
  // What is wrong with the file, in words for the user; empty when nothing is.
  std::string problem;

  bool Imported() const { return status != kRefused; }
  // Notes the first fault of a file that goes on being read.
  void Damaged(std::string what);
};

// The whole file, or nothing (with the file error's cause) when it cannot be read.
std::optional<std::string> ReadModelFile(std::string_view path, int* cause = nullptr);

// Imported sides carry no mapping: corner 0 (0, 0), corner 1 (0.0005, 0),
// corner 2 (0, 0.0005), corner 3 (0, 0), flags 3.
CSide PlaceholderSide(std::uint32_t a, std::uint32_t b, std::uint32_t c);

ImportResult ReadAscText(std::string_view text, CShape& shape);
ImportResult Read3dsBytes(std::span<const std::uint8_t> bytes, CShape& shape);
ImportResult ReadDxfText(std::string_view text, CShape& shape);

// The reader's part shared by the three formats: a mesh to read into that
// holds the current mesh's parts other than its geometry; and the end of a
// read, which rebuilds it and puts it in place when it has a side.
CShape ImportTarget(CShape& current);
// What a reader left out of a model for lying where the view cannot draw it
// (see coordinate_limit.h), against what it read.
struct UnusableCount {
  long long faces = 0, facesRead = 0;
  long long vertices = 0, verticesRead = 0;
};
// Takes out of a model read aside the sides with a corner at an unusable
// position, then the vertices at one, and counts them.
void LeaveOutUnusable(CShape& read, UnusableCount& count);
// Notes the count, when anything was left out, as the file's fault.
void NoteUnusable(const UnusableCount& count, ImportResult& result);
ImportResult FinishImport(CShape& read, CShape& current, ImportResult result);
// Reads the file whole and hands it to the reader; 1 when the model was
// imported (whole or in part), 0 when the file could not be read or was refused.
int ImportModelFile(const std::string& path, CShape& shape, ImportResult (*reader)(std::string_view, CShape&),
                    ImportResult* result);

}  // namespace pavix

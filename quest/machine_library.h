#pragma once
// The state-machine library: every ".qsm" definition file parsed into
// machine definitions (and generic trap definitions) at start-up, read-only
// afterwards.
//
// A file is a tree of blocks: a token followed by "{" opens a brace block, by
// "[" a bracket block; each block's key is "<outer key>_<token>", and the text
// collected before the closing character is the block's value. Blanks are
// dropped in brace blocks and kept in bracket blocks; "/* */" comments are
// skipped everywhere.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "quest/machine_def.h"

class CMachineLibrary {
 public:
  // Longest token a block may collect; one more character is fatal.
  static constexpr std::size_t kMaxToken = 8191;
  // Deepest block nesting and longest block key accepted.
  static constexpr int kMaxDepth = 64;
  static constexpr std::size_t kMaxKey = 8191;
  // Returned by the character reader at the end of the text.
  static constexpr int kEndMark = 127;

  // Definitions of generic traps go to this list (a global of their own).
  explicit CMachineLibrary(GenericDef*& generics) : generics_(generics) {}
  ~CMachineLibrary();
  CMachineLibrary(const CMachineLibrary&) = delete;
  CMachineLibrary& operator=(const CMachineLibrary&) = delete;

  // Reads the whole file (through the archive layer) into the buffer and
  // remembers its path. True when the whole size was read; an empty or
  // missing file leaves no buffer.
  bool LoadFile(std::string_view path);
  // Parses the buffer from the current position. The start-up calls it with
  // an empty prefix in brace mode.
  void ParseBlock(std::string_view prefix, bool bracketMode);
  void FreeBuffer();

  // Every "*.qsm" file of the folder (no directories), in listing order:
  // load, parse, free. Returns the number of files parsed.
  int LoadFolder(std::string_view folder = "rozizuzi\\stateMachine");

  // Takes a text as if it had been read from the path (tests and fuzzing).
  void SetText(std::string_view path, std::string_view text);

  // The definition whose key equals the given one, ignoring case.
  const MachineDef* FindMachine(std::string_view key) const;
  MachineDef* machines() const { return machines_; }
  GenericDef* generics() const { return generics_; }

  // Frees every definition, generic definition and the buffer.
  void Clear();

 private:
  int NextChar();
  int NextCharSkipBlanks();
  void Parse(std::string& key, bool bracketMode, int depth);
  void Announce(std::string_view key);
  void Store(std::string_view key, std::string_view value);
  void StoreMachineValue(std::string_view key, std::string_view value);
  void StoreGenericValue(std::string_view key, std::string_view value);
  // Shows the parse error; ends the parse (quit posted) or the program.
  void ParseError(bool endProgram);

  GenericDef*& generics_;
  MachineDef* machines_ = nullptr;
  std::vector<char> buffer_;
  bool hasBuffer_ = false;
  std::size_t position_ = 0;
  std::string path_;
  bool stopped_ = false;
};

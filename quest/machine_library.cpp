#include "quest/machine_library.h"

#include <cstdio>
#include <cstring>

#include "datafiles/mtf_archive.h"
#include "platform/core/paths.h"
#include "platform/core/services.h"
#include "quest/fixed_field.h"
#include "quest/text_scan.h"

using platform::EqualsNoCase;
using platform::StartsWithNoCase;

namespace {

constexpr std::string_view kTypeWords[kParamTypeCount] = {
    "FRAME", "OBJECT", "SOUND", "INT", "ALPHA", "SKELFILE",
    "SKELNAME", "SKELANIM", "EFFECT", "MONSTER", "TEXT", "LIST",
};

bool IsBlank(int c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

// Values of brace blocks whose key ends in "_<digit>" keep their blanks.
bool EndsWithUnderscoreDigit(std::string_view key) {
  const std::size_t n = key.size();
  return n >= 2 && key[n - 2] == '_' && key[n - 1] >= '0' && key[n - 1] <= '9';
}

// "a=b=c": the non-empty pieces between "=".
void SplitChoice(std::string_view value, std::string_view& key, std::string_view& label) {
  key = {};
  label = {};
  int found = 0;
  std::size_t i = 0;
  while (i < value.size() && found < 2) {
    while (i < value.size() && value[i] == '=') ++i;
    const std::size_t start = i;
    while (i < value.size() && value[i] != '=') ++i;
    if (i > start) {
      (found == 0 ? key : label) = value.substr(start, i - start);
      ++found;
    }
  }
}

}  // namespace

int ParamTypeFromWord(std::string_view word) {
  for (int i = 0; i < kParamTypeCount; ++i) {
    if (EqualsNoCase(word, kTypeWords[i])) return i + 1;
  }
  return kParamNone;
}

const MachineParamDef* MachineDef::FindParam(int n) const {
  for (const MachineParamDef* p = params; p; p = p->next) {
    if (p->number == n) return p;
  }
  return nullptr;
}

CMachineLibrary::~CMachineLibrary() { Clear(); }

void CMachineLibrary::Clear() {
  FreeBuffer();
  FreeList(machines_);
  FreeList(generics_);
  path_.clear();
  stopped_ = false;
}

void CMachineLibrary::FreeBuffer() {
  buffer_.clear();
  buffer_.shrink_to_fit();
  hasBuffer_ = false;
  position_ = 0;
}

bool CMachineLibrary::LoadFile(std::string_view path) {
  FreeBuffer();
  stopped_ = false;
  path_.assign(path.substr(0, 511));
  const std::string cpath(path);
  MtfFilePtr file(MtfOpen(cpath.c_str(), "rb"));
  if (!file) return false;
  std::vector<std::uint8_t> bytes;
  const bool whole = MtfReadWhole(file.get(), bytes);
  if (bytes.empty()) {
    FreeBuffer();
    return false;
  }
  buffer_.assign(bytes.begin(), bytes.end());
  hasBuffer_ = true;
  return whole;
}

void CMachineLibrary::SetText(std::string_view path, std::string_view text) {
  FreeBuffer();
  stopped_ = false;
  path_.assign(path.substr(0, 511));
  if (text.empty()) return;
  buffer_.assign(text.begin(), text.end());
  hasBuffer_ = true;
}

int CMachineLibrary::LoadFolder(std::string_view folder) {
  std::string pattern(folder);
  pattern += "\\*.qsm";
  int parsed = 0;
  for (const platform::FindEntry& entry : platform::FindFiles(pattern)) {
    if (entry.isDirectory) continue;
    std::string path(folder);
    path += '\\';
    path += entry.name;
    LoadFile(path);
    ParseBlock("", false);
    FreeBuffer();
    ++parsed;
  }
  return parsed;
}

const MachineDef* CMachineLibrary::FindMachine(std::string_view key) const {
  for (const MachineDef* d = machines_; d; d = d->next) {
    if (FieldEqualsNoCase(d->key, key)) return d;
  }
  return nullptr;
}

int CMachineLibrary::NextChar() {
  if (stopped_ || !hasBuffer_ || position_ >= buffer_.size()) return kEndMark;
  const char* text = buffer_.data();
  const std::size_t size = buffer_.size();
  if (text[position_] == '/' && position_ + 1 < size && text[position_ + 1] == '*') {
    std::size_t i = position_ + 2;
    for (;;) {
      if (i + 1 >= size) {  // no closing mark: the comment ends the text
        position_ = size;
        return kEndMark;
      }
      if (text[i] == '*' && text[i + 1] == '/') break;
      if (text[i] == '/' && text[i + 1] == '*') {
        position_ = i;
        ParseError(false);
        return kEndMark;
      }
      ++i;
    }
    position_ = i + 2;
    if (position_ >= size) return kEndMark;
    // The character after a comment is taken as it is, even when it opens another.
  }
  return static_cast<unsigned char>(text[position_++]);
}

int CMachineLibrary::NextCharSkipBlanks() {
  int c;
  do {
    c = NextChar();
  } while (IsBlank(c));
  return c;
}

void CMachineLibrary::ParseError(bool endProgram) {
  char text[600];
  std::snprintf(text, sizeof text, "Error processing Quest file %s.", path_.c_str());
  platform::MessageBox(text, "Quest Parse Error", platform::kMbOk);
  if (endProgram) platform::Exit(0);
  platform::PostQuit(0);
  stopped_ = true;
}

void CMachineLibrary::ParseBlock(std::string_view prefix, bool bracketMode) {
  std::string key(prefix);
  Parse(key, bracketMode, 0);
}

void CMachineLibrary::Parse(std::string& key, bool bracketMode, int depth) {
  const bool raw = bracketMode || EndsWithUnderscoreDigit(key);
  std::string token;
  for (;;) {
    const int c = raw ? NextChar() : NextCharSkipBlanks();
    if (c == kEndMark) return;
    const bool opensBrace = c == '{' && !bracketMode;
    if (opensBrace || c == '[') {
      const std::size_t keyLength = key.size();
      if (depth + 1 > kMaxDepth || keyLength + 1 + token.size() > kMaxKey) {
        ParseError(false);
        return;
      }
      key += '_';
      key += token;
      Announce(key);
      Parse(key, c == '[', depth + 1);
      key.resize(keyLength);
      token.clear();
      if (stopped_) return;
      continue;
    }
    if ((c == '}' && !bracketMode) || (c == ']' && bracketMode)) {
      Store(key, token);
      return;
    }
    if (token.size() >= kMaxToken) {
      ParseError(true);
      return;
    }
    token += static_cast<char>(c);
  }
}

void CMachineLibrary::Announce(std::string_view key) {
  if (EqualsNoCase(key, "_STATE_MACHINE")) {
    PushHead(machines_, new MachineDef);
  } else if (EqualsNoCase(key, "_STATE_MACHINE_PARAM")) {
    if (machines_) {
      PushHead(machines_->params, new MachineParamDef);
      ++machines_->paramCount;
    }
  } else if (EqualsNoCase(key, "_GENERIC")) {
    PushHead(generics_, new GenericDef);
  }
}

void CMachineLibrary::Store(std::string_view key, std::string_view value) {
  if (StartsWithNoCase(key, "_STATE_MACHINE")) {
    StoreMachineValue(key, value);
  } else if (StartsWithNoCase(key, "_GENERIC")) {
    StoreGenericValue(key, value);
  }
}

void CMachineLibrary::StoreMachineValue(std::string_view key, std::string_view value) {
  MachineDef* def = machines_;
  if (!def) return;
  if (EqualsNoCase(key, "_STATE_MACHINE_KEY")) {
    SetField(def->key, value);
    return;
  }
  if (EqualsNoCase(key, "_STATE_MACHINE_CODE")) {
    def->codeLength = static_cast<int>(value.size());
    def->code.assign(value);
    return;
  }
  if (EqualsNoCase(key, "_STATE_MACHINE_COMMENT")) {
    if (!value.empty()) def->comment.emplace(value);
    return;
  }
  MachineParamDef* param = def->params;
  if (!param) return;
  if (EqualsNoCase(key, "_STATE_MACHINE_PARAM_KEY")) {
    ScanInt(value, param->number);
  } else if (EqualsNoCase(key, "_STATE_MACHINE_PARAM_TYPE")) {
    param->type = ParamTypeFromWord(value);
  } else if (EqualsNoCase(key, "_STATE_MACHINE_PARAM_COMMENT")) {
    param->comment.emplace(value);
  } else if (EqualsNoCase(key, "_STATE_MACHINE_PARAM_DEFAULT")) {
    param->defaultText.emplace(value);
  } else if (EqualsNoCase(key, "_STATE_MACHINE_PARAM_LIST")) {
    std::string_view choiceKey, label;
    SplitChoice(value, choiceKey, label);
    ParamChoice* choice = PushHead(param->choices, new ParamChoice);
    SetField(choice->key, choiceKey);
    SetField(choice->label, label);
  } else if (EqualsNoCase(key, "_STATE_MACHINE_PARAM_DISPLAY")) {
    param->display = 1;
  } else if (EqualsNoCase(key, "_STATE_MACHINE_PARAM_IN")) {
    param->flags |= kParamFlagIn;
  } else if (EqualsNoCase(key, "_STATE_MACHINE_PARAM_OUT")) {
    param->flags |= kParamFlagOut;
  }
}

void CMachineLibrary::StoreGenericValue(std::string_view key, std::string_view value) {
  GenericDef* generic = generics_;
  if (!generic) return;
  if (EqualsNoCase(key, "_GENERIC_KEY")) {
    SetField(generic->key, value);
  } else if (EqualsNoCase(key, "_GENERIC_TYPE")) {
    int n = 0;
    if (ScanInt(value, n)) {
      generic->type = n;
      generic->index = n;
    }
  } else if (EqualsNoCase(key, "_GENERIC_MESH")) {
    generic->mesh.emplace(value);
  } else if (EqualsNoCase(key, "_GENERIC_EDIT")) {
    generic->editable = 1;
  } else if (EqualsNoCase(key, "_GENERIC_DATA")) {
    int n = 0;
    int v = 0;
    if (ScanIntPair(value, n, v) && n >= 0 && n < 8) generic->data[n] = v;
  } else if (EqualsNoCase(key, "_GENERIC_LABEL")) {
    SetField(generic->label, value);
  } else if (EqualsNoCase(key, "_GENERIC_INDEX")) {
    ScanInt(value, generic->index);
  }
}

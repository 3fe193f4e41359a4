#include "platform/core/profile.h"

#include <cstdlib>
#include <sys/stat.h>

#include "platform/core/file.h"
#include "platform/core/paths.h"

namespace platform {
namespace {

std::string ConfigHome() {
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return x;
  if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.config";
  return ".";
}

void MakeParents(const std::string& path) {
  for (size_t i = 1; i < path.size(); ++i)
    if (path[i] == '/') ::mkdir(path.substr(0, i).c_str(), 0777);
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return std::string(s.substr(b, e - b));
}

// Values are escaped so that any byte survives a round trip through a line.
std::string Escape(std::string_view v) {
  std::string out;
  static const char* hex = "0123456789ABCDEF";
  for (unsigned char c : v) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c < 0x20 || c == 0x7F) {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else out += static_cast<char>(c);
  }
  if (!out.empty() && (out.front() == ' ' || out.back() == ' ')) out = "\"" + out + "\"";
  return out;
}

int HexVal(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Unescape(std::string_view v) {
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '\\' || i + 1 >= v.size()) {
      out += v[i];
      continue;
    }
    char n = v[++i];
    if (n == 'n') out += '\n';
    else if (n == 'r') out += '\r';
    else if (n == 'x' && i + 2 < v.size() && HexVal(v[i + 1]) >= 0 && HexVal(v[i + 2]) >= 0) {
      out += static_cast<char>(HexVal(v[i + 1]) * 16 + HexVal(v[i + 2]));
      i += 2;
    } else out += n;
  }
  return out;
}

std::string& ProfileName() {
  static std::string name = "program";
  return name;
}

}  // namespace

bool IniStore::NoCaseLess::operator()(const std::string& a, const std::string& b) const {
  return CompareNoCase(a, b) < 0;
}

IniStore::IniStore(std::string nativePath) : path_(std::move(nativePath)) { Load(); }

void IniStore::Load() {
  sections_.clear();
  if (path_.empty()) return;
  try {
    Parse(ReadWholeFile(path_));
  } catch (const FileException&) {
    // A missing or unreadable store is an empty one.
  }
}

bool IniStore::Save() const {
  if (path_.empty()) return true;
  try {
    MakeParents(path_);
    WriteWholeFile(path_, Serialize());
    return true;
  } catch (const FileException&) {
    return false;
  }
}

void IniStore::Parse(std::string_view text) {
  std::string section;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t eol = text.find('\n', pos);
    std::string_view line = text.substr(pos, eol == std::string_view::npos ? std::string_view::npos : eol - pos);
    pos = eol == std::string_view::npos ? text.size() + 1 : eol + 1;
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') continue;
    if (t.front() == '[' && t.back() == ']') {
      section = t.substr(1, t.size() - 2);
      sections_[section];
      continue;
    }
    size_t eq = t.find('=');
    if (eq == std::string::npos) continue;
    sections_[section][Trim(std::string_view(t).substr(0, eq))] = Unescape(Trim(std::string_view(t).substr(eq + 1)));
  }
}

std::string IniStore::Serialize() const {
  std::string out;
  for (const auto& [name, values] : sections_) {
    out += "[" + name + "]\n";
    for (const auto& [k, v] : values) out += k + "=" + Escape(v) + "\n";
    out += "\n";
  }
  return out;
}

std::optional<std::string> IniStore::GetString(std::string_view section, std::string_view key) const {
  auto s = sections_.find(std::string(section));
  if (s == sections_.end()) return std::nullopt;
  auto v = s->second.find(std::string(key));
  if (v == s->second.end()) return std::nullopt;
  return v->second;
}

std::string IniStore::GetString(std::string_view section, std::string_view key, std::string_view def) const {
  auto v = GetString(section, key);
  return v ? *v : std::string(def);
}

int IniStore::GetInt(std::string_view section, std::string_view key, int def) const {
  auto v = GetString(section, key);
  if (!v || v->empty()) return def;
  char* end = nullptr;
  long n = std::strtol(v->c_str(), &end, 10);
  if (end == v->c_str()) return def;
  return static_cast<int>(n);
}

std::optional<std::vector<std::uint8_t>> IniStore::GetBinary(std::string_view section, std::string_view key) const {
  auto v = GetString(section, key);
  if (!v || v->size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> out;
  for (size_t i = 0; i < v->size(); i += 2) {
    int hi = HexVal((*v)[i]), lo = HexVal((*v)[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  return out;
}

bool IniStore::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  sections_[std::string(section)][std::string(key)] = std::string(value);
  return Save();
}

bool IniStore::WriteInt(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool IniStore::WriteBinary(std::string_view section, std::string_view key, const std::vector<std::uint8_t>& value) {
  static const char* hex = "0123456789ABCDEF";
  std::string s;
  for (std::uint8_t b : value) {
    s += hex[b >> 4];
    s += hex[b & 15];
  }
  return WriteString(section, key, s);
}

bool IniStore::RemoveValue(std::string_view section, std::string_view key) {
  auto s = sections_.find(std::string(section));
  if (s != sections_.end()) s->second.erase(std::string(key));
  return Save();
}

IniStore& Profile() {
  static IniStore store = [] {
    const char* p = std::getenv("PROFILE_INI");
    return IniStore(p && *p ? std::string(p) : ConfigHome() + "/TirnacorSoft/" + ProfileName() + ".ini");
  }();
  return store;
}

void SetProfileName(std::string_view program) {
  ProfileName() = std::string(program);
  const char* p = std::getenv("PROFILE_INI");
  if (!(p && *p)) SetProfilePath(ConfigHome() + "/TirnacorSoft/" + ProfileName() + ".ini");
}

void SetProfilePath(std::string nativePath) {
  Profile().SetPath(std::move(nativePath));
  Profile().Load();
}

IniStore& MachineStore() {
  static IniStore store = [] {
    const char* p = std::getenv("MACHINE_INI");
    return IniStore(p && *p ? std::string(p) : ConfigHome() + "/TirnacorSoft/machine.ini");
  }();
  return store;
}

void SetMachineStorePath(std::string nativePath) {
  MachineStore().SetPath(std::move(nativePath));
  MachineStore().Load();
}

}  // namespace platform

#include "platform/core/paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::string& StartDir() {
  static std::string dir;
  return dir;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsSep(char c) { return c == '\\' || c == '/'; }

std::vector<std::string> SplitComponents(std::string_view p) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : p) {
    if (IsSep(c)) {
      if (!cur.empty()) parts.push_back(std::move(cur));
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) parts.push_back(std::move(cur));
  return parts;
}

// On-disk name in dir matching name: exact first, else the first ignoring case
// in sorted order so the choice does not depend on the directory's order.
std::string MatchInDirectory(const std::string& dir, const std::string& name) {
  std::string probe = dir.empty() ? name : dir + "/" + name;
  struct stat st {};
  if (::lstat(probe.c_str(), &st) == 0) return name;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return name;
  std::string best;
  bool found = false;
  while (dirent* e = ::readdir(d)) {
    std::string_view n = e->d_name;
    if (n == "." || n == "..") continue;
    if (EqualsNoCase(n, name)) {
      if (!found || std::string_view(best) > n) best = std::string(n);
      found = true;
    }
  }
  ::closedir(d);
  return found ? best : name;
}

}  // namespace

void SetStartDirectory(std::string_view nativePath) { StartDir() = std::string(nativePath); }

const std::string& StartDirectory() {
  if (StartDir().empty()) StartDir() = CurrentDirectory();
  return StartDir();
}

std::string CurrentDirectory() {
  std::string buf(4096, '\0');
  if (!::getcwd(buf.data(), buf.size())) return ".";
  buf.resize(std::strlen(buf.c_str()));
  return buf;
}

bool ChangeDirectory(std::string_view nativePath) {
  return ::chdir(std::string(nativePath).c_str()) == 0;
}

std::optional<std::vector<std::string>> EnterStartDirectory(int argc, char** argv, std::string_view program) {
  std::string startDir = CurrentDirectory();
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--start-dir" && i + 1 < argc) {
      startDir = argv[++i];
    } else {
      args.push_back(arg);
    }
  }
  if (!ChangeDirectory(startDir)) {
    std::fprintf(stderr, "%.*s: cannot use %s as the start directory\n", static_cast<int>(program.size()),
                 program.data(), startDir.c_str());
    return std::nullopt;
  }
  SetStartDirectory(CurrentDirectory());
  return args;
}

std::string ResolvePath(std::string_view winPath) {
  // Drive letters mean nothing here; "c:\x" is the start directory's x.
  bool rooted = false;
  if (winPath.size() >= 2 && winPath[1] == ':' &&
      ((winPath[0] >= 'a' && winPath[0] <= 'z') || (winPath[0] >= 'A' && winPath[0] <= 'Z'))) {
    winPath.remove_prefix(2);
    rooted = true;
  }
  if (!winPath.empty() && winPath[0] == '\\') rooted = true;
  // An absolute native path (tests, --start-dir) stays absolute.
  bool absolute = !winPath.empty() && winPath[0] == '/';
  std::string base = absolute ? "/" : (rooted ? StartDirectory() : std::string());
  std::string out = base;
  for (const std::string& comp : SplitComponents(winPath)) {
    if (comp == ".") continue;
    if (comp == "..") {
      out += out.empty() || out.back() == '/' ? ".." : "/..";
      continue;
    }
    std::string dirForLookup = out.empty() ? std::string() : out;
    std::string actual = MatchInDirectory(dirForLookup, comp);
    if (out.empty()) {
      out = actual;
    } else {
      if (out.back() != '/') out += '/';
      out += actual;
    }
  }
  if (out.empty()) out.assign(1, '.');  // assign() sidesteps a false -Wrestrict in GCC 12 at -O3
  return out;
}

std::string FollowLinks(std::string_view nativePath, int* err) {
  // As many as the kernel follows before it calls the chain a loop.
  constexpr int kMaxLinks = 40;
  if (err) *err = 0;
  std::string path(nativePath);
  for (int hops = 0;; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    if (hops == kMaxLinks) {
      if (err) *err = ELOOP;
      return path;
    }
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    ssize_t n = 0;
    // A link can change between the two calls; grow until the text fits.
    while ((n = ::readlink(path.c_str(), target.data(), target.size())) >= static_cast<ssize_t>(target.size()))
      target.resize(target.size() * 2);
    if (n <= 0) return path;
    target.resize(static_cast<std::size_t>(n));
    if (target[0] == '/') {
      path = std::move(target);
    } else {
      const std::size_t slash = path.rfind('/');
      path = slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
    }
  }
}

std::string AbsolutePath(const std::string& nativePath) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::absolute(nativePath, ec);
  return ec ? nativePath : p.lexically_normal().string();
}

bool PathExists(std::string_view winPath) {
  struct stat st {};
  return ::stat(ResolvePath(winPath).c_str(), &st) == 0;
}

bool IsDirectory(std::string_view winPath) {
  struct stat st {};
  return ::stat(ResolvePath(winPath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDirectory(std::string_view winPath) {
  std::string p = ResolvePath(winPath);
  if (::mkdir(p.c_str(), 0777) == 0) return true;
  struct stat st {};
  return errno == EEXIST && ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RemoveFile(std::string_view winPath) { return ::unlink(ResolvePath(winPath).c_str()) == 0; }

int CompareNoCase(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(Lower(a[i]));
    unsigned char cb = static_cast<unsigned char>(Lower(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  // Iterative with one backtrack point: linear-ish and no recursion on hostile patterns.
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<FindEntry> FindFiles(std::string_view winPattern) {
  std::vector<FindEntry> result;
  size_t cut = winPattern.find_last_of("\\/");
  std::string_view dirPart = cut == std::string_view::npos ? std::string_view() : winPattern.substr(0, cut + 1);
  std::string_view namePart = cut == std::string_view::npos ? winPattern : winPattern.substr(cut + 1);
  std::string dir = dirPart.empty() ? std::string(".") : ResolvePath(dirPart);
  DIR* d = ::opendir(dir.c_str());
  if (!d) return result;
  while (dirent* e = ::readdir(d)) {
    std::string_view n = e->d_name;
    if (n == "." || n == "..") continue;
    if (!WildcardMatch(namePart, n)) continue;
    FindEntry fe;
    fe.name = std::string(n);
    struct stat st {};
    std::string full = dir + "/" + fe.name;
    if (::stat(full.c_str(), &st) == 0) {
      fe.isDirectory = S_ISDIR(st.st_mode);
      fe.size = static_cast<std::uint64_t>(st.st_size);
      fe.readOnly = ::access(full.c_str(), W_OK) != 0 && !fe.isDirectory;
    }
    result.push_back(std::move(fe));
  }
  ::closedir(d);
  std::sort(result.begin(), result.end(), [](const FindEntry& a, const FindEntry& b) { return FindOrderLess(a.name, b.name); });
  return result;
}

bool FindOrderLess(std::string_view a, std::string_view b) {
  const int c = CompareNoCase(a, b);
  return c != 0 ? c < 0 : a < b;
}

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  if (path.size() >= 2 && path[1] == ':') {
    parts.drive = std::string(path.substr(0, 2));
    path.remove_prefix(2);
  }
  size_t cut = path.find_last_of("\\/");
  if (cut != std::string_view::npos) {
    parts.dir = std::string(path.substr(0, cut + 1));
    path.remove_prefix(cut + 1);
  }
  size_t dot = path.find_last_of('.');
  if (dot != std::string_view::npos) {
    parts.ext = std::string(path.substr(dot));
    path = path.substr(0, dot);
  }
  parts.fname = std::string(path);
  return parts;
}

}  // namespace platform

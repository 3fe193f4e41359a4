#pragma once
// Windows-style paths over a POSIX file system.
//
// Game data names files with backslashes and in any case. A path resolves
// against the current directory (the start directory, unless a caller moved
// it): each component matches an existing entry ignoring case, an exact match
// first; a leading separator means the start directory itself.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The directory the program started in. main() sets it and changes into it.
void SetStartDirectory(std::string_view nativePath);
const std::string& StartDirectory();

// The process's current directory, native form.
std::string CurrentDirectory();
bool ChangeDirectory(std::string_view nativePath);

// A program's arguments with "--start-dir DIR" taken out, after the process
// moved into DIR (the current directory unless given) and made it the start
// directory. Nothing when DIR cannot be used; stderr says why.
std::optional<std::vector<std::string>> EnterStartDirectory(int argc, char** argv, std::string_view program);

// Native path for a Windows-style one. Components that exist are replaced by
// their on-disk spelling; those that do not are kept as given, so a file about
// to be created takes the caller's name.
std::string ResolvePath(std::string_view winPath);

// The file a native path stands for once symbolic links are followed: a link
// (or a chain of them, each relative target taken from its link's folder)
// gives the path it names, existing or not, so a save writes through it and
// the link stays. Folders on the way are left as written. A path that is not
// a link comes back as it is. Sets *err to ELOOP for a chain too long to be
// anything but a loop.
std::string FollowLinks(std::string_view nativePath, int* err = nullptr);

// The native path from the root, in normal form: the one name a file opened
// by any relative or absolute path is known by. As given when the current
// folder cannot be had.
std::string AbsolutePath(const std::string& nativePath);

// True when the path names an existing file or directory.
bool PathExists(std::string_view winPath);
bool IsDirectory(std::string_view winPath);

// Creates one directory (the parent must exist). True when it exists afterwards.
bool CreateDirectory(std::string_view winPath);
bool RemoveFile(std::string_view winPath);

// Case-insensitive ASCII comparisons, as the game's data expects.
int CompareNoCase(std::string_view a, std::string_view b);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// '*' any run, '?' one character; ASCII case ignored.
bool WildcardMatch(std::string_view pattern, std::string_view name);

struct FindEntry {
  std::string name;      // on-disk name, no folder
  bool isDirectory = false;
  bool readOnly = false;
  std::uint64_t size = 0;
};

// Entries of the pattern's folder whose names match its last component.
// Sorted by name ignoring case, then bytewise, so listings are repeatable.
// "." and ".." are never returned.
std::vector<FindEntry> FindFiles(std::string_view winPattern);
// The order FindFiles lists names in.
bool FindOrderLess(std::string_view a, std::string_view b);

// Splits a Windows-style path like _splitpath: drive ("c:"), folder (with its
// trailing separator), base name and extension (with its dot).
struct PathParts {
  std::string drive, dir, fname, ext;
};
PathParts SplitPath(std::string_view path);

}  // namespace platform

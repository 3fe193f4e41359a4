#pragma once
// Edits an MTF archive on disk for tests: every entry but the one named keeps
// its stored bytes exactly (packed entries stay packed), so the archive reads
// as the original did apart from that entry. The archive is written anew
// and renamed into place, so a hard link to the old file keeps the old one.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// The entries' names, in directory order. Empty for a damaged archive.
std::vector<std::string> ArchiveEntryNames(const std::string& nativePath);
// Rewrites the archive without the entry (names compare ignoring case).
// False when the archive cannot be read or holds no such entry.
bool RemoveArchiveEntry(const std::string& nativePath, std::string_view name);
// Rewrites the archive with the entry's bytes replaced, stored as they are
// (bytes that could read as a packed block are refused).
bool ReplaceArchiveEntry(const std::string& nativePath, std::string_view name, std::span<const std::uint8_t> bytes);

}  // namespace testsupport

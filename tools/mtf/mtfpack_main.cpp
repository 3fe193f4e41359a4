// mtfpack: makes an MTF archive of a folder, or lists an archive.
//   mtfpack [--pack|--store|--auto] OUT.mtf DIR
//   mtfpack --list ARCHIVE
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "datafiles/mtf_writer.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "tools/mtf/mtf_listing.h"

namespace fs = std::filesystem;

namespace {

int Usage() {
  std::fputs(
      "usage: mtfpack [--pack|--store|--auto] OUT.mtf DIR\n"
      "       mtfpack --list ARCHIVE\n"
      "  --pack   pack every entry\n"
      "  --store  store every entry as it is\n"
      "  --auto   pack an entry only when that makes it smaller (the default)\n",
      stderr);
  return 2;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "mtfpack: %s\n", message.c_str());
  return 1;
}

std::string Describe(const platform::FileException& e) {
  return "cannot access " + e.path() + " (file error " + std::to_string(e.cause()) +
         (e.osError() ? ": " + std::error_code(e.osError(), std::generic_category()).message() : "") + ")";
}

struct Source {
  std::string name;  // entry name, backslashes
  fs::path path;
};

// Files below dir with their relative names, sorted ignoring case, then bytewise.
std::vector<Source> Collect(const fs::path& dir, const fs::path& skip) {
  std::vector<Source> files;
  for (const fs::directory_entry& de : fs::recursive_directory_iterator(dir)) {
    if (!de.is_regular_file()) continue;
    std::error_code ec;
    if (!skip.empty() && fs::equivalent(de.path(), skip, ec)) continue;
    std::string rel = de.path().lexically_relative(dir).generic_string();
    if (rel.find('\\') != std::string::npos)
      throw MtfWriteError("file name \"" + rel + "\" holds a backslash, which separates folders in an archive");
    std::replace(rel.begin(), rel.end(), '/', '\\');
    files.push_back({std::move(rel), de.path()});
  }
  std::sort(files.begin(), files.end(), [](const Source& a, const Source& b) {
    const int c = platform::CompareNoCase(a.name, b.name);
    return c != 0 ? c < 0 : a.name < b.name;
  });
  // Lookups ignore case: of two such names only one could ever be read back.
  for (std::size_t i = 1; i < files.size(); ++i)
    if (platform::EqualsNoCase(files[i - 1].name, files[i].name))
      throw MtfWriteError("\"" + files[i - 1].name + "\" and \"" + files[i].name + "\" differ only in case");
  return files;
}

int Pack(MtfStorage storage, const std::string& out, const std::string& dirArg) {
  const fs::path dir = dirArg;
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return Fail(dirArg + " is not a folder");
  const fs::path outPath = fs::absolute(out, ec);
  std::vector<Source> files = Collect(dir, fs::exists(outPath, ec) ? outPath : fs::path());

  MtfWriter writer;
  for (const Source& s : files) {
    const std::string bytes = platform::ReadWholeFile(fs::absolute(s.path).string());
    writer.Add(s.name, bytes, storage);
  }
  writer.Write(outPath.string());
  std::size_t packed = 0;
  for (std::size_t i = 0; i < writer.count(); ++i) packed += writer.isPacked(i) ? 1 : 0;
  std::printf("%s: %zu entries (%zu packed, %zu stored)\n", out.c_str(), writer.count(), packed,
              writer.count() - packed);
  return 0;
}

int List(const std::string& archive) {
  const std::vector<MtfListedEntry> entries = ListMtfArchive(fs::absolute(archive).string());
  std::printf("%zu entries\n", entries.size());
  std::printf("%10s  %-6s  %10s  %10s  %s\n", "size", "form", "in archive", "offset", "name");
  for (const MtfListedEntry& e : entries)
    std::printf("%10u  %-6s  %10llu  %10u  %s\n", e.size, e.packed ? "packed" : "stored",
                static_cast<unsigned long long>(e.storedLength), e.offset, e.name.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  try {
    if (!args.empty() && args[0] == "--list") {
      if (args.size() != 2) return Usage();
      return List(std::string(args[1]));
    }
    MtfStorage storage = MtfStorage::kAuto;
    if (!args.empty() && args[0].starts_with("--")) {
      if (args[0] == "--pack") storage = MtfStorage::kPacked;
      else if (args[0] == "--store") storage = MtfStorage::kStored;
      else if (args[0] == "--auto") storage = MtfStorage::kAuto;
      else return Usage();
      args.erase(args.begin());
    }
    if (args.size() != 2) return Usage();
    return Pack(storage, std::string(args[0]), std::string(args[1]));
  } catch (const platform::FileException& e) {
    return Fail(Describe(e));
  } catch (const fs::filesystem_error& e) {
    return Fail(e.what());
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}

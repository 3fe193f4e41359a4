#include "datafiles/game_data.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "datafiles/file_utils.h"
#include "datafiles/mtf_archive.h"
#include "platform/core/paths.h"

int MountGameArchives() {
  int mounted = MtfOpenArchive("data.mtf", 0);

  std::vector<std::string> names;
  for (const platform::FindEntry& e : platform::FindFiles("qsp*.mtf"))
    if (!e.isDirectory) names.push_back(e.name);

  // Exchange sort by bytes: position i against every later one. All names are
  // sorted before any is dropped, so which 31 mount does not depend on the
  // order the directory lists them in.
  for (std::size_t i = 0; i + 1 < names.size(); ++i)
    for (std::size_t j = i + 1; j < names.size(); ++j)
      if (std::strcmp(names[i].c_str(), names[j].c_str()) > 0) std::swap(names[i], names[j]);

  const std::size_t n = std::min<std::size_t>(names.size(), kMaxPatchArchives);
  for (std::size_t i = 0; i < n; ++i) mounted += MtfOpenArchive(names[i].c_str(), static_cast<int>(i) + 1);
  return mounted;
}

int ReadInstallLanguage() {
  struct Row {
    const char* value;
    int language;
  };
  static constexpr Row kLanguages[] = {
      {"FRENCH", 0}, {"GERMAN", 2}, {"ITALIAN", 5}, {"SPANISH", 3}, {"SWEDISH", 4},
  };
  char value[256];
  if (!ReadRegistryString(kInstallKeyPath, "Language", value)) return 1;
  for (const Row& r : kLanguages)
    if (std::strncmp(value, r.value, 64) == 0) return r.language;
  return 1;
}

#pragma once
// Settings stores in place of the registry: INI files of sections and values.
//
// Two stores exist: the program's profile (recent files, window placements,
// the open quest) and a machine-wide store holding the game's install values
// such as "Language". Keys that the game spells as registry paths are used as
// section names unchanged.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniStore {
 public:
  IniStore() = default;
  explicit IniStore(std::string nativePath);

  // Re-reads the file; a missing file is an empty store.
  void Load();
  // Writes the whole store through a temporary file. False when it could not.
  bool Save() const;
  const std::string& path() const { return path_; }
  void SetPath(std::string nativePath) { path_ = std::move(nativePath); }

  std::optional<std::string> GetString(std::string_view section, std::string_view key) const;
  std::string GetString(std::string_view section, std::string_view key, std::string_view def) const;
  int GetInt(std::string_view section, std::string_view key, int def) const;
  std::optional<std::vector<std::uint8_t>> GetBinary(std::string_view section, std::string_view key) const;

  // Each write saves at once, as the registry would keep it.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInt(std::string_view section, std::string_view key, int value);
  bool WriteBinary(std::string_view section, std::string_view key, const std::vector<std::uint8_t>& value);
  bool RemoveValue(std::string_view section, std::string_view key);

  // Text form, for tests and for the file itself.
  std::string Serialize() const;
  void Parse(std::string_view text);

 private:
  struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  using Section = std::map<std::string, std::string, NoCaseLess>;
  std::map<std::string, Section, NoCaseLess> sections_;
  std::string path_;
};

// The running program's profile. Its file is $XDG_CONFIG_HOME (or ~/.config)
// "/<company>/<program>.ini", or PROFILE_INI when set; tests call SetProfilePath.
IniStore& Profile();
void SetProfileName(std::string_view program);
void SetProfilePath(std::string nativePath);

// The machine-wide store of the game's install values: MACHINE_INI when set,
// else $XDG_CONFIG_HOME/TirnacorSoft/machine.ini.
IniStore& MachineStore();
void SetMachineStorePath(std::string nativePath);

}  // namespace platform

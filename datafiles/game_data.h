#pragma once
// The first steps of loading the game's data at start-up: mounting the
// archives and reading the install language.

// Mounts "data.mtf" into slot 0, then the "qsp*.mtf" files of the current
// directory in ascending byte order (upper and lower case differ) into slots
// 1 to n, at most 31; all are sorted before the first 31 are taken. Returns
// the number of archives mounted.
int MountGameArchives();

// The language index of the game's install: "FRENCH" 0, "GERMAN" 2,
// "ITALIAN" 5, "SPANISH" 3, "SWEDISH" 4 (compared with case); English (1)
// for anything else and when the value is missing.
int ReadInstallLanguage();

inline constexpr const char* kInstallKeyPath = "SOFTWARE\\TirnacorSoft\\Valdrenn\\CurrentVersion\\Valdrenn";
inline constexpr int kMaxPatchArchives = 31;

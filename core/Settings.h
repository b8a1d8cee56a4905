#pragma once
// The two settings files: the program's own "<executable>.ini" in its folder and the shared
// "dedorezovi.ini" in the parent folder, which a launcher living there also reads. Each holds two lines,
// "Com=<port>" and "Lingua=<language>", ended by CR LF.

#include "LanguageMenu.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vm {

inline constexpr std::string_view kSharedSettingsName = "dedorezovi.ini";

struct SettingsFiles {
    std::filesystem::path own;
    std::filesystem::path shared;
};
// The settings files of a program living in programFolder whose executable is named executableName
// (with or without extension).
SettingsFiles SettingsFilesFor(const std::filesystem::path& programFolder, std::string_view executableName);

// What one settings file holds; a missing file or an unreadable line leaves the field empty. The port is
// the number after "Com=" (1..255, or 0 for the first USB adapter where it has no COM number); the language is the text after "Lingua=". Both keys are matched
// without regard to case and in either line.
struct SettingsFileContents {
    std::optional<std::uint8_t> comPort;
    std::optional<std::string> language;
};
SettingsFileContents ReadSettingsFile(const std::filesystem::path& path);
// Writes "Com=<port>" CR LF "Lingua=<language>" CR LF, replacing the file only once it is complete.
std::string WriteSettingsFile(const std::filesystem::path& path, int comPort, std::string_view language);

// The settings and language choice of the running program.
struct LanguageSettings {
    std::uint8_t ComPort = 1;
    std::string CurrentLanguage;
    LanguageMenu Menu;
};

// Reads both settings files (the shared file's port wins), lists the languages of languageFolder into the
// menu and, when the shared file names another installed language, takes that one and rewrites both files.
// Returns false when no language file is installed (the caller shows kNoLanguageText and ends).
bool LoadSettings(const SettingsFiles& files, const std::filesystem::path& languageFolder,
                  LanguageSettings& s);

// Writes both files with the port and the checked language. Both are attempted; returns the error texts,
// empty when both were written.
std::string SaveSettings(const SettingsFiles& files, const LanguageSettings& s);

} // namespace vm

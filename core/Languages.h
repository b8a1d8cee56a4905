#pragma once
// Language files: every "<name>.lng" in the program's folder is a language called <name>. One text per line;
// line n is Messages(n). Lines starting with ";--" mark sections and must stand on the same lines in
// every language, so that line numbers stay aligned.

#include "Messages.h"
#include "Settings.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

inline constexpr std::string_view kLanguageExtension = ".lng";
inline constexpr std::string_view kSectionMarker = ";--";
inline constexpr std::size_t kMaxLanguageLines = kMessageCount - 1; // lines past 2000 are ignored
inline constexpr std::uintmax_t kMaxLanguageFileSize = 1 << 20;     // 2000 lines of 500 characters

// The texts the caller shows (title, then text).
inline constexpr std::string_view kNoLanguageTitle = "Error";
inline constexpr std::string_view kNoLanguageText = "File missing!\nReinstall program";
inline constexpr std::string_view kWrongLanguageTitle = "Wrong file";
inline constexpr std::string_view kWrongLanguageText = "Check file message !!!";

// The installed languages: names of the "*.lng" files of the folder without the extension, sorted by name
// so that every machine lists them in the same order. All of them; the menu offers the first ten.
std::vector<std::string> ListLanguages(const std::filesystem::path& folder);
std::filesystem::path LanguageFilePath(const std::filesystem::path& folder, std::string_view language);

// The texts of a language, line 1 first. The program carries the Italian ones (the reference every
// language file is checked against, and the texts it falls back on).
using LanguageTexts = std::vector<std::string>;

// Stores the lines (at most 2000) into Messages(1), Messages(2), ...; the other texts become empty.
void StoreLanguageTexts(const LanguageTexts& lines, Messages& messages);

struct LanguageFile {
    LanguageTexts lines; // in UTF-8
    std::string problem; // why the file cannot be used ("is not a text file", "has 12 lines; ..."), or empty
    bool ok() const { return problem.empty(); }
};
// Reads a language file and checks it: readable, at most kMaxLanguageFileSize, text (no NUL byte), and,
// when the reference has lines, at least as many lines with a section marker wherever the reference has one.
LanguageFile ReadLanguageFile(const std::filesystem::path& file, const LanguageTexts& reference);

// Loads every line (at most 2000) into Messages(1), Messages(2), ...; the other texts become empty.
// Returns false, leaving Messages unchanged, when the file cannot be read.
bool LoadLanguageFile(const std::filesystem::path& file, Messages& messages);

// Loads the candidate file when it has at least as many lines as the reference and a section marker on
// every line where the reference has one; only the reference's count of lines is loaded. Returns false
// and leaves Messages unchanged otherwise. When the reference cannot be read the candidate is loaded
// whole, since there is nothing to compare against.
bool LoadCheckedLanguage(const std::filesystem::path& reference, const std::filesystem::path& candidate,
                         Messages& messages);

enum class LanguageStatus {
    Loaded,
    NoLanguageFile, // show kNoLanguageTitle / kNoLanguageText and end
    WrongFile,      // the switch was refused; the previous language stays; show kWrongLanguageText
    NotOffered,     // the menu entry holds no language
};

// Start-up: fills the menu, loads CurrentLanguage when it is installed (else the first language, which
// becomes current) and checks its entry. Every file is checked against the built-in texts first: a file
// that fails is passed over for the next installed language, and when none passes the built-in texts are
// loaded and no entry is checked. `warning` (if given) then names each refused file and what is shown
// instead; it stays empty otherwise. Without built-in texts, no usable file gives NoLanguageFile.
LanguageStatus CeckLingue(const std::filesystem::path& folder, LanguageSettings& s, Messages& messages,
                          const LanguageTexts& builtIn = {}, std::string* warning = nullptr);

// The language menu's click: switches to the language of menu entry `index` after checking its file
// against the built-in texts and the current language's file. The caller then refreshes its texts and
// saves the settings in every case.
LanguageStatus SwitchLanguage(const std::filesystem::path& folder, LanguageSettings& s, int index,
                              Messages& messages, const LanguageTexts& builtIn = {});

} // namespace vm

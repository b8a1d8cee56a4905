// The shipped language files: aligned line for line, and every line the program asks for is there.

#include "AppTestSupport.h"
#include "MenuTree.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace vm::app {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> readLines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool isMarker(const std::string& line) {
    return line.rfind(";--", 0) == 0;
}

// The language line numbers the sources name: menu captions, and every Caption(n ...), messages(n) or
// Messages(n) in the windows' code.
std::set<int> referencedLines() {
    std::set<int> lines;
    for (const MenuEntry& e : MenuEntries()) {
        if (e.line) lines.insert(e.line);
        if (e.line2) lines.insert(e.line2);
    }
    for (int n = 838; n <= 855; ++n)
        lines.insert(n); // the telemetry window's texts
    const std::regex use(R"((?:Caption|[mM]essages_?)\s*[({]\s*(\d{1,4})\b)");
    for (const char* folder : {"app", "editors", "remote"})
        for (const auto& entry : fs::recursive_directory_iterator(test::kSourceDir / folder)) {
            const auto ext = entry.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            std::ifstream in(entry.path());
            for (std::string line; std::getline(in, line);) {
                line = line.substr(0, line.find("//")); // examples in comments are no uses
                for (std::sregex_iterator m(line.begin(), line.end(), use), end; m != end; ++m)
                    lines.insert(std::stoi((*m)[1].str()));
            }
        }
    lines.erase(0);
    return lines;
}

TEST(LanguageFiles, ItalianAndEnglishAreAlignedLineForLine) {
    const auto italian = readLines(test::kSourceDir / "data/lang/Italiano.lng");
    const auto english = readLines(test::kSourceDir / "data/lang/English.lng");
    ASSERT_FALSE(italian.empty());
    ASSERT_EQ(italian.size(), english.size());
    EXPECT_LE(italian.size(), 2000u);
    int markers = 0;
    for (std::size_t i = 0; i < italian.size(); ++i) {
        EXPECT_EQ(isMarker(italian[i]), isMarker(english[i])) << "line " << i + 1;
        EXPECT_FALSE(italian[i].empty()) << "line " << i + 1;
        EXPECT_FALSE(english[i].empty()) << "line " << i + 1;
        EXPECT_EQ(italian[i].find('\r'), std::string::npos) << "line " << i + 1;
        markers += isMarker(italian[i]);
    }
    EXPECT_GE(markers, 5);
}

TEST(LanguageFiles, EveryLineTheProgramUsesExistsAndIsNoMarker) {
    const std::set<int> used = referencedLines();
    EXPECT_TRUE(used.contains(441)); // sanity: the scan found the menu lines
    for (const char* name : {"Italiano.lng", "English.lng"}) {
        const auto lines = readLines(test::kSourceDir / "data/lang" / name);
        for (int n : used) {
            ASSERT_LE(n, static_cast<int>(lines.size())) << name << " lacks line " << n;
            EXPECT_FALSE(isMarker(lines[n - 1])) << name << " line " << n << " is a section marker";
            // A used line that still holds the filler text would show it instead of the window's own text.
            EXPECT_NE(lines[n - 1], "(unused)") << name << " line " << n << " needs its text";
            EXPECT_NE(lines[n - 1], "(non usato)") << name << " line " << n << " needs its text";
        }
    }
}

TEST(LanguageFiles, ItalianCarriesTheDesignCaptions) {
    const auto italian = readLines(test::kSourceDir / "data/lang/Italiano.lng");
    Messages m;
    for (std::size_t i = 0; i < italian.size(); ++i)
        m.set(static_cast<int>(i + 1), italian[i]);
    // Entries whose design caption is a single line read the same once Italian is loaded.
    for (const char* name : {"smnuConfigura", "smnuTempi", "smnuPagamento", "ssmnuImposta", "mnuOrologio",
                             "smnuDati", "ssmnuCancella", "smnuPassword"}) {
        EXPECT_EQ(MenuCaption(*FindMenuEntry(name), m), FindMenuEntry(name)->design) << name;
    }
}

} // namespace
} // namespace vm::app

// The windows name the parameters they show through the catalogue (vm::param): a window's source that types
// a parameter index as a number fails here with its file and line.

#include "Catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace vm::test {
namespace {

namespace fs = std::filesystem;

constexpr int kLowest = 1000, kHighest = 33000;

// Numbers in the windows that happen to be parameter indexes but mean something else.
const std::map<int, const char*> kNotParameters = {
    {1800, "seconds: a chart's span"},
    {2000, "the century of a two-digit year; milliseconds: a chart's sample period"},
    {3600, "seconds: a chart's span"},
    {5000, "milliseconds: waits for the board, a chart's sample period"},
    {9999, "the largest four-digit password"},
    {10000, "milliseconds: a chart's sample period"},
};

struct Literal {
    int line;
    long value;
};

// The decimal integer literals of C++ source outside comments, strings and character literals.
std::vector<Literal> integerLiterals(const std::string& text) {
    std::vector<Literal> found;
    int line = 1;
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return k < text.size() ? text[k] : '\0'; };
    const auto isWord = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (c == '/' && at(i + 1) == '/') {
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else if (c == '/' && at(i + 1) == '*') {
            i += 2;
            while (i < text.size() && !(text[i] == '*' && at(i + 1) == '/'))
                line += text[i++] == '\n';
            i += 2;
        } else if (c == '"' || c == '\'') {
            for (++i; i < text.size() && text[i] != c; ++i) {
                if (text[i] == '\\')
                    ++i;
                else if (text[i] == '\n')
                    ++line;
            }
            ++i;
        } else if (isWord(c)) {
            // A whole token: an identifier, or a number with its suffix, exponent or fraction.
            const std::size_t start = i;
            const bool number = std::isdigit(static_cast<unsigned char>(c));
            while (i < text.size() && (isWord(text[i]) || (number && text[i] == '.')))
                ++i;
            std::string token = text.substr(start, i - start);
            while (!token.empty() && std::string_view("uUlL").find(token.back()) != std::string_view::npos)
                token.pop_back(); // 12u, 12ul
            const bool decimal =
                !token.empty() && token.size() < 10 && std::all_of(token.begin(), token.end(), [](char d) {
                    return std::isdigit(static_cast<unsigned char>(d));
                });
            if (decimal && std::isdigit(static_cast<unsigned char>(text[start])))
                found.push_back({line, std::stol(token)});
        } else {
            ++i;
        }
    }
    return found;
}

TEST(WindowNumbers, LiteralsAreFoundOutsideCommentsAndStrings) {
    const std::vector<Literal> found = integerLiterals("int a = 12055; // 12056\n"
                                                       "const char* s = \"12057\\\" 12058\"; /* 12059\n"
                                                       "12060 */ x = f(12061u, 0x3000, 1.5, 12062);\n"
                                                       "y = v12063 + 7;\n");
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].line, 1);
    EXPECT_EQ(found[0].value, 12055);
    EXPECT_EQ(found[1].line, 3);
    EXPECT_EQ(found[1].value, 12061);
    EXPECT_EQ(found[2].value, 12062);
    EXPECT_EQ(found[3].line, 4);
    EXPECT_EQ(found[3].value, 7);
}

TEST(WindowNumbers, NoWindowTypesAParameterIndex) {
    const fs::path root(VM_SOURCE_DIR);
    std::ostringstream offenders;
    int files = 0;
    for (const char* tree : {"editors", "remote"}) {
        ASSERT_TRUE(fs::is_directory(root / tree)) << (root / tree);
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(root / tree)) {
            const fs::path& path = e.path();
            if (!e.is_regular_file() || (path.extension() != ".cpp" && path.extension() != ".h")) continue;
            ++files;
            std::ifstream in(path, std::ios::binary);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            for (const Literal& l : integerLiterals(text)) {
                if (l.value < kLowest || l.value > kHighest ||
                    kNotParameters.count(static_cast<int>(l.value)))
                    continue;
                if (catalogue::find(static_cast<int>(l.value)))
                    offenders << fs::relative(path, root).generic_string() << ':' << l.line << ": " << l.value
                              << '\n';
            }
        }
    }
    EXPECT_GT(files, 50) << "the window sources were not found under " << root;
    EXPECT_EQ(offenders.str(), "") << "parameter indexes typed in windows: name them through vm::param";
}

} // namespace
} // namespace vm::test

// The catalogue table reader: range rows, mirrors and names expand as written, and a table that breaks
// the layout (shared bytes, mismatched mirrors, repeated indexes) is refused with a message.

#include "CatalogueTable.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

namespace vm::mapgen {
namespace {

bool read(const std::string& table, Catalogue& cat, std::vector<std::string>& errors) {
    std::istringstream in(table);
    return ReadCatalogue(in, cat, errors);
}

std::string joined(const std::vector<std::string>& errors) {
    std::string all;
    for (const auto& e : errors)
        all += e + "\n";
    return all;
}

TEST(MapgenNames, ExpandPlaceholders) {
    struct Case {
        const char* pattern;
        int n, count;
        const char* name; // nullptr: refused
    };
    const Case cases[] = {
        {"price {n}", 7, 50, "price 7"},
        {"item {g}, spiral {m+56}", 17, 14, "item 2, spiral 59"},
        {"wash {g} {m:minutes|hours}", 4, 2, "wash 2 hours"},
        {"setting {n-1}", 1, 1, "setting 0"},
        {"x {m:a|b}", 3, 3, nullptr},
        {"x {k}", 1, 1, nullptr},
        {"x {n", 1, 1, nullptr},
    };
    for (const Case& c : cases) {
        std::string out, error;
        EXPECT_EQ(ExpandName(c.pattern, c.n, c.count, out, error), c.name != nullptr) << c.pattern;
        if (c.name) {
            EXPECT_EQ(out, c.name);
        }
    }
}

TEST(MapgenTable, ExpandsRangesAndMirrors) {
    Catalogue cat;
    std::vector<std::string> errors;
    ASSERT_TRUE(read("# comment\n"
                     "10..12 w=2 at=100 mirror=20@200 poll=3 init=7 \"price {n}\"\n"
                     "30 w=t16 sp=5 at=300 \"text\"\n"
                     "40 w=1 sp=1 at=8 \"model\"\n"
                     "ident 12 sp=1 at=9 \"class\"\n",
                     cat, errors))
        << joined(errors);
    ASSERT_EQ(cat.params.size(), 8u);
    const Param &p11 = cat.params[1], &m22 = cat.params[5], &text = cat.params[6];
    EXPECT_EQ(std::tuple(p11.index, p11.address, p11.mirror, p11.poll, p11.initial, p11.name),
              std::tuple(11, 102, 21, 3, 7u, std::string("price 2")));
    EXPECT_EQ(std::tuple(m22.index, m22.address, m22.width, m22.mirror, m22.name),
              std::tuple(22, 204, 2, 0, std::string("price 3 (mirror)")));
    EXPECT_TRUE(text.isText);
    EXPECT_EQ(text.initial, 0x20202020u) << "texts start blank";
    EXPECT_EQ(CommandByte(text.space, text.width), 0x5F);
    ASSERT_EQ(cat.ident.size(), 1u);
    EXPECT_EQ(cat.ident[0].record, 12);
    // The same address in another memory space is no conflict.
    Catalogue spaces;
    EXPECT_TRUE(read("1 at=8 \"a\"\n2 sp=1 at=8 \"b\"\n", spaces, errors)) << joined(errors);
}

// Only configuration settings have defaults, and only until their row says otherwise; a mirror shares its
// parameter's unit and default.
TEST(MapgenTable, MarksMoneyAndDefaults) {
    Catalogue cat;
    std::vector<std::string> errors;
    ASSERT_TRUE(read("1 w=2 at=100 mirror=2@200 unit=money \"price\"\n"
                     "3 at=0 init=1 default=none \"unit type\"\n"
                     "4 w=4 sp=2 at=16384 \"count\"\n",
                     cat, errors))
        << joined(errors);
    ASSERT_EQ(cat.params.size(), 4u);
    const auto marks = [](const Param& p) { return std::tuple(p.index, p.money, p.hasDefault); };
    EXPECT_EQ(marks(cat.params[0]), std::tuple(1, true, true));
    EXPECT_EQ(marks(cat.params[1]), std::tuple(2, true, true));
    EXPECT_EQ(marks(cat.params[2]), std::tuple(3, false, false));
    EXPECT_EQ(marks(cat.params[3]), std::tuple(4, false, false));
}

// What code and windows take from a row: the id (with the count and twin the header declares), the
// range, the decimals and a help text with blanks; a mirror row carries the range but not the id.
TEST(MapgenTable, KeepsIdsRangesAndHelp) {
    Catalogue cat;
    std::vector<std::string> errors;
    ASSERT_TRUE(read("10..12 at=100 mirror=20@200 id=Timeout min=2 max=25 dec=1 help=\"wait, then give up\" "
                     "\"timeout {n}\"\n"
                     "30 at=300 id=Flags \"flags\"\n"
                     "31 at=301 \"other\"\n",
                     cat, errors))
        << joined(errors);
    ASSERT_EQ(cat.params.size(), 8u);
    const Param &first = cat.params[1], &twin = cat.params[3], &flags = cat.params[6], &other = cat.params[7];
    EXPECT_EQ(std::tuple(first.index, first.id, first.hasRange, first.min, first.max, first.decimals, first.help),
              std::tuple(11, std::string("Timeout"), true, 2, 25, 1, std::string("wait, then give up")));
    EXPECT_EQ(std::tuple(twin.index, twin.id, twin.hasRange, twin.max), std::tuple(20, std::string(), true, 25));
    EXPECT_EQ(std::tuple(flags.id, flags.hasRange, flags.decimals, flags.help),
              std::tuple(std::string("Flags"), false, 0, std::string()));
    EXPECT_EQ(other.id, "");
    ASSERT_EQ(cat.named.size(), 2u);
    EXPECT_EQ(DeclaredNames(cat.named[0]), (std::vector<std::string>{"Timeout", "TimeoutCount", "TimeoutTwin"}));
    EXPECT_EQ(std::tuple(cat.named[0].first, cat.named[0].count, cat.named[0].mirror), std::tuple(10, 3, 20));
    EXPECT_EQ(DeclaredNames(cat.named[1]), (std::vector<std::string>{"Flags"}));
}

TEST(MapgenTable, RefusesBrokenLayoutsWithTheLineAndBothParameters) {
    struct Case {
        const char* table;
        const char* why;
        const char* names = ""; // must appear in the messages
    };
    const Case cases[] = {
        {"1 w=2 at=100 \"a\"\n2 w=1 at=101 \"b\"\n", "shared bytes", "parameter 1"},
        {"1 w=2 at=100 \"a\"\n2 w=1 at=101 \"b\"\n", "shared bytes", "parameter 2"},
        {"1 at=100 \"a\"\nreserve len=8 at=96 \"tail\"\n", "reserved bytes in use"},
        {"1 w=2 at=100 mirror=5 \"a\"\n5 w=1 at=200 \"b\"\n", "mirror of another width"},
        {"1 at=100 mirror=9 \"a\"\n", "mirror not defined"},
        {"1 at=100 mirror=1@300 \"a\"\n", "mirror of itself"},
        {"1..3 at=100 \"a {n}\"\n3 at=200 \"b\"\n", "index defined twice"},
        {"1 at=12927 w=2 \"a\"\n", "beyond the configuration memory"},
        {"1 sp=1 at=47 w=2 \"a\"\n", "beyond the board information area"},
        {"1 at=100 w=t17 \"a\"\n", "text too long"},
        {"1 at=100 w=5 \"a\"\n", "number too wide"},
        {"1 at=100 colour=red \"a\"\n", "unknown key"},
        {"1 at=100 unit=euro \"a\"\n", "unknown unit", "unit=money"},
        {"1 at=100 default=0 \"a\"\n", "default other than none", "default=none"},
        {"1 at=100\n", "no name"},
        {"33001 at=100 \"a\"\n", "index beyond the table"},
        {"1 sp=0 at=100 \"a\"\n", "space 0 marks unused records"},
        {"ident 21 sp=1 at=1 \"a\"\n", "identification record beyond 20"},
        {"1..3 at=100 \"a {n:x|y}\"\n", "choice out of range"},
        {"1 at=100 id=flags \"a\"\n", "id not capitalised", "id=flags"},
        {"1 at=100 id=Two-Words \"a\"\n", "id no identifier", "id=Two-Words"},
        {"1 at=100 id=A \"a\"\n2 at=101 id=A \"b\"\n", "id twice", "already declared on line 1"},
        {"1..2 at=100 id=A \"a {n}\"\n3 at=102 id=ACount \"b\"\n", "id clashes with a count", "ACount"},
        {"1 at=100 min=1 \"a\"\n", "min without max", "together"},
        {"1 at=100 min=9 max=3 \"a\"\n", "min above max", "above"},
        {"1 at=100 min=0 max=256 \"a\"\n", "max wider than the parameter", "max=256 does not fit in w=1"},
        {"1 at=100 dec=4 \"a\"\n", "too many decimals"},
        {"1 at=100 help=\"open \"a\"\n", "unterminated help"},
    };
    for (const Case& c : cases) {
        Catalogue cat;
        std::vector<std::string> errors;
        EXPECT_FALSE(read(c.table, cat, errors)) << c.why;
        ASSERT_FALSE(errors.empty()) << c.why;
        EXPECT_EQ(errors[0].rfind("line ", 0), 0u) << errors[0];
        EXPECT_NE(joined(errors).find(c.names), std::string::npos) << joined(errors);
    }
}

} // namespace
} // namespace vm::mapgen

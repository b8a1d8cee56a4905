#include "ConfigView.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vm::cli;

namespace {

ConfigFileData fileOf(ConfigFileKind kind) {
    ConfigFileData data;
    data.kind = kind;
    return data;
}
void setImage(ConfigFileData& data, int address, std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes)
        data.record[RecordPos::Image + address++] = b;
}

const std::vector<ViewParam> kParams{
    {1, "Low", 4, 1, false},        // only a .cfx carries address 4
    {2, "Word", 16, 2, false},      // first address every file carries
    {3, "Price", 100, 4, false},    //
    {4, "Text", 200, 6, true},      //
    {5, "Last", 12927, 1, false},   // last byte of the configuration area
    {6, "Beyond", 12927, 2, false}, // runs past the configuration area: never carried
};

} // namespace

TEST(ConfigView, ValuesAreLittleEndianNumbersOrQuotedTexts) {
    auto file = fileOf(ConfigFileKind::Plain);
    setImage(file, 16, {0x34, 0x12});
    setImage(file, 100, {0x01, 0x00, 0x00, 0x80});
    setImage(file, 200, {'A', '"', ' ', 0x00, '\\', 0xE9});
    setImage(file, 12927, {255});

    const auto shown = ShowConfig(file, kParams);
    ASSERT_EQ(shown.size(), 4u); // Low and Beyond are not carried
    EXPECT_EQ(shown[0].index, 2);
    EXPECT_EQ(shown[0].name, "Word");
    EXPECT_EQ(shown[0].value, "4660");
    EXPECT_EQ(shown[1].value, "2147483649") << "4-byte values are unsigned";
    EXPECT_EQ(shown[2].value, R"("A\" \x00\\\xE9")");
    EXPECT_EQ(shown[3].value, "255");
}

TEST(ConfigView, DiffListsOnlyDifferencesAndOneSidedParameters) {
    auto a = fileOf(ConfigFileKind::Protected);
    auto b = fileOf(ConfigFileKind::Protected);
    EXPECT_TRUE(DiffConfigs(a, b, kParams).empty());

    setImage(b, 17, {1});    // high byte of Word
    setImage(b, 203, {'x'}); // inside Text
    setImage(b, 0, {9});     // not carried by a .prm: no difference
    auto diff = DiffConfigs(a, b, kParams);
    ASSERT_EQ(diff.size(), 2u);
    EXPECT_EQ(diff[0].index, 2);
    EXPECT_EQ(diff[0].valueA, "0");
    EXPECT_EQ(diff[0].valueB, "256");
    EXPECT_EQ(diff[1].index, 4);

    // A .cfx carries address 4, a .prm does not: the parameter shows up with "-" on the .prm side.
    auto cfx = fileOf(ConfigFileKind::Cfx);
    diff = DiffConfigs(a, cfx, kParams);
    ASSERT_EQ(diff.size(), 1u);
    EXPECT_EQ(diff[0].index, 1);
    EXPECT_EQ(diff[0].valueA, "-");
    EXPECT_EQ(diff[0].valueB, "0");
}

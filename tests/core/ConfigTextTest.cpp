// Configurations as text: what an export shows, and that applying it gives the bytes back.

#include "ConfigText.h"
#include "ProgramState.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using Image = std::vector<std::uint8_t>;

// A configuration area holding the factory settings: decimal point 2 and its mirror, blank message texts
// (8060..9339), zero elsewhere.
Image defaultsImage() {
    Image image(vm::kConfigAreaSize, 0);
    image[696] = image[11264] = 2;
    std::fill(image.begin() + 8060, image.begin() + 9340, ' ');
    return image;
}

const std::string kHeader = "# The configuration settings that differ from their defaults, one a line: name "
                            "= value  # parameter index\n";

// Amounts, a stale mirror, a text with escapes, a 3-byte number and a mirror two parameters share.
Image visitedImage() {
    Image image = defaultsImage();
    image[7568] = image[11632] = 150;          // price 1 = 1.50 and its mirror 8521
    image[7570] = 0x34;                        // price 2 = 46.60 ...
    image[7571] = 0x12;                        // ... but its mirror 8522 (11634) still 0
    const std::string text = "Caff\xE8 \"1\""; // message text 11514 at 8060
    std::copy(text.begin(), text.end(), image.begin() + 8060);
    image[748] = image[11313] = 0x40; // password full menu 123456 = 0x01E240, mirror 6641
    image[749] = image[11314] = 0xE2;
    image[750] = image[11315] = 0x01;
    image[396] = image[11004] = 5; // unique product 2 on time (1448) and the mirror 6270 it shares with 1488
    return image;
}

const std::string kVisitedText = kHeader +
                                 "unique_product_2_on_time = 5  # 1448\n"
                                 "decimal_point = 2  # 1823, the amounts use it\n"
                                 "password_full_menu = 123456  # 1858\n"
                                 "price_1 = 1.50  # 8471\n"
                                 "price_2 = 46.60  # 8472\n"
                                 "price_2_mirror = 0.00  # 8522, mirror of 8472\n"
                                 "message_text_language_1_line_1_part_1 = \"Caff\\xE8 \\\"1\\\"\"  # 11514\n";

TEST(ConfigText, NamesAreLowerCaseWordsJoinedByUnderscores) {
    const auto name = [](int index) { return vm::TextName(*vm::catalogue::find(index)); };
    EXPECT_EQ(name(1991), "dose_1_table_2_selection_1_shelf_life_1");
    EXPECT_EQ(name(8521), "price_1_mirror");
    EXPECT_EQ(name(14046), "reduced_menu_beverage_item_1_beverages_1_16");
    EXPECT_EQ(name(11733), "machine_model");
    // No two parameters of the catalogue meet in one name, and every name is safe on a text line.
    std::set<std::string> names;
    for (const vm::catalogue::ParamInfo& p : vm::catalogue::all()) {
        const std::string n = vm::TextName(p);
        EXPECT_TRUE(names.insert(n).second) << n;
        EXPECT_EQ(n.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_"), std::string::npos) << n;
    }
}

TEST(ConfigText, ExportShowsOnlyWhatDiffersFromTheDefaults) {
    EXPECT_EQ(vm::ConfigToText(defaultsImage(), false), kHeader);
    EXPECT_EQ(vm::ConfigToText(visitedImage(), false), kVisitedText);

    const std::string all = vm::ConfigToText(visitedImage(), true);
    EXPECT_TRUE(all.starts_with("# Every configuration setting, one a line: name = value  # parameter index\n"
                                "boiler_1_unit_1 = 0  # 1\n"
                                "boiler_2_unit_1 = 0  # 2\n"));
    EXPECT_NE(all.find("\nprice_3 = 0.00  # 8473\n"), std::string::npos);
    EXPECT_NE(all.find("\nmessage_text_language_1_line_1_part_2 = \"\"  # 11515\n"), std::string::npos);
    EXPECT_NE(all.find("\nprice_2_mirror = 0.00  # 8522, mirror of 8472\n"), std::string::npos);
    EXPECT_EQ(all.find("price_1_mirror"), std::string::npos) << "a mirror that agrees is not repeated";
    EXPECT_EQ(all.find("telemetry"), std::string::npos) << "no defaults, no settings";
}

TEST(ConfigText, ApplyingTheExportGivesTheBytesBack) {
    Image image = defaultsImage();
    const vm::TextApplyResult result = vm::ApplyConfigText(kVisitedText, image);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.settings, 7);
    EXPECT_TRUE(image == visitedImage());

    // With every setting, any base gives the same bytes of the settings.
    Image other = visitedImage();
    std::fill(other.begin() + 16, other.end(), 0x5A);
    ASSERT_TRUE(vm::ApplyConfigText(vm::ConfigToText(visitedImage(), true), other).ok());
    EXPECT_EQ(vm::ConfigToText(other, true), vm::ConfigToText(visitedImage(), true));
}

TEST(ConfigText, ApplyWritesMirrorsAndReadsAmountsWithTheRightDecimalPoint) {
    Image image = defaultsImage();
    image[696] = 3; // the base's decimal point, used when the text sets none
    ASSERT_TRUE(vm::ApplyConfigText("price_1_mirror = 0.010\n"
                                    "8471 = 1.5   # by index\r\n"
                                    "unique_product_2_on_time = 5\n"
                                    "PRESELECTION_KEY_32_TYPE=9\n"
                                    "wash_1_minutes = 15\n"
                                    "wash_1_minutes_mirror = 30\n"
                                    "message_text_language_1_line_1_part_1 = \"a#b\"  # not a comment\n",
                                    image)
                    .ok());
    EXPECT_EQ(std::vector<int>({image[7568], image[7569]}), std::vector<int>({0xDC, 0x05})) << "1500";
    EXPECT_EQ(image[11632], 10) << "the mirror's own line wins";
    EXPECT_EQ(std::vector<int>({image[1752], image[11333]}), std::vector<int>({15, 30}))
        << "also over a parameter with a higher index (6679, mirror 6654)";
    EXPECT_EQ(std::vector<int>({image[396], image[436], image[11004]}), std::vector<int>({5, 9, 9}))
        << "a shared mirror takes the value of the higher parameter";
    EXPECT_EQ(std::string(image.begin() + 8060, image.begin() + 8076), "a#b             ");

    image = defaultsImage();
    ASSERT_TRUE(vm::ApplyConfigText("price_1 = 1.5\ndecimal_point = 1\n", image).ok());
    EXPECT_EQ(std::vector<int>({image[696], image[11264], image[7568]}), std::vector<int>({1, 1, 15}));
}

TEST(ConfigText, AFaultyLineIsReportedAndNothingChanges) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"price_1 = 1\nnope = 3\n", "line 2: unknown setting 'nope'"},
        {"price_1 = 1.005\n", "line 1: price_1: '1.005' has more than 2 decimals (decimal point 2)"},
        {"price_1 = 655.36\n", "line 1: price_1: '655.36' is out of range 0.00..655.35"},
        {"price_1 = 1,50\n", "line 1: price_1: expected an amount 0.00..655.35, got '1,50'"},
        {"boiler_1_unit_1 = 256\n", "line 1: boiler_1_unit_1: '256' is out of range 0..255"},
        {"boiler_1_unit_1 = -1\n", "line 1: boiler_1_unit_1: expected a whole number 0..255, got '-1'"},
        {"boiler_1_unit_1 = \"1\"\n", "line 1: boiler_1_unit_1: expected a whole number 0..255, got '\"1\"'"},
        {"\n# note\nprice_1 = 1\nprice_1 = 2\n", "line 4: price_1 is already set on line 3"},
        {"price_1 1.50\n", "line 1: expected name = value, got 'price_1 1.50'"},
        {"12055 = \"x\"\n",
         "line 1: parameter 12055 (telemetry text 1, part 1) has no default and is no setting of a "
         "configuration text"},
        {"message_text_language_1_line_1_part_1 = hello\n",
         "line 1: message_text_language_1_line_1_part_1: expected a text in double quotes, got 'hello'"},
        {"message_text_language_1_line_1_part_1 = \"12345678901234567\"\n",
         "line 1: message_text_language_1_line_1_part_1: the text has 17 characters, at most 16 fit"},
        {"message_text_language_1_line_1_part_1 = \"ab\n",
         "line 1: message_text_language_1_line_1_part_1: the text has no closing quote"},
        {"message_text_language_1_line_1_part_1 = \"a\\tb\"\n",
         "line 1: message_text_language_1_line_1_part_1: unknown escape in the text (use \\\" \\\\ or "
         "\\xNN)"},
        {"message_text_language_1_line_1_part_1 = \"caff\xC3\xA8\"\n",
         "line 1: message_text_language_1_line_1_part_1: write characters other than printable ASCII as "
         "\\xNN"},
        {"message_text_language_1_line_1_part_1 = \"ab\" c\n",
         "line 1: message_text_language_1_line_1_part_1: unexpected 'c' after the text"},
        {"x = 1\ny = 2\nprice_1 = 1\n", "line 1: unknown setting 'x' (and 1 more)"},
    };
    for (const Case& c : cases) {
        Image image = defaultsImage();
        const vm::TextApplyResult result = vm::ApplyConfigText(c.text, image);
        EXPECT_EQ(result.error, c.error) << c.text;
        EXPECT_TRUE(image == defaultsImage()) << c.text;
    }
}

} // namespace

// The factory settings come from the catalogue: configuration settings have one, whatever the board keeps
// for itself (counters, clock, identity) and the site's own settings have none.

#include "Defaults.h"
#include "ProgramState.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using vm::DefaultValue;
using vm::DiffersFromDefault;
using vm::ParamData;

TEST(Defaults, ComeFromTheCatalogueForConfigurationSettingsOnly) {
    EXPECT_EQ(DefaultValue(1823), ParamData(2.0)) << "decimal point";
    EXPECT_EQ(DefaultValue(6605), ParamData(2.0)) << "its mirror";
    EXPECT_EQ(DefaultValue(8471), ParamData(0.0)) << "price 1";
    EXPECT_EQ(DefaultValue(11514), ParamData(std::string(16, ' '))) << "a message text starts blank";
    for (int none : {4779,   // unit type of unit 1: the machine's own arrangement, though its map value is 1
                     12055,  // telemetry text: the site's
                     12057,  // telemetry number, 8 characters
                     1786,   // coin counter
                     6690,   // clock
                     4775,   // command
                     11733,  // machine model
                     11816,  // alarm log
                     300}) { // no parameter at all
        EXPECT_FALSE(DefaultValue(none)) << none;
        EXPECT_FALSE(vm::IsResettable(none)) << none;
    }
    EXPECT_TRUE(vm::IsResettable(1858)) << "password full menu";
}

TEST(Defaults, AnImageDiffersWhereItsBytesDo) {
    std::vector<std::uint8_t> image(vm::kConfigAreaSize, 0);
    EXPECT_TRUE(DiffersFromDefault(1823, image)) << "decimal point 0 instead of 2";
    image[696] = 2;
    EXPECT_FALSE(DiffersFromDefault(1823, image));

    EXPECT_FALSE(DiffersFromDefault(8471, image));
    image[7569] = 0x12; // high byte of price 1
    EXPECT_TRUE(DiffersFromDefault(8471, image));
    EXPECT_EQ(vm::ImageValue(*vm::catalogue::find(8471), image), ParamData(4608.0));

    EXPECT_TRUE(DiffersFromDefault(11514, image)) << "sixteen zero bytes are no blank text";
    std::fill_n(image.begin() + 8060, 16, ' ');
    EXPECT_FALSE(DiffersFromDefault(11514, image));
    image[8075] = 'X'; // the last character
    EXPECT_TRUE(DiffersFromDefault(11514, image));

    // Without a default nothing differs from it; a value beyond the image reads as zero.
    image[0] = 7;
    EXPECT_FALSE(DiffersFromDefault(4779, image));
    EXPECT_FALSE(DiffersFromDefault(1786, image));
    EXPECT_EQ(vm::ImageValue(*vm::catalogue::find(1786), image), ParamData(0.0));
    EXPECT_TRUE(DiffersFromDefault(1823, ParamData(6.0))) << "the byte, not its decimals";
}

} // namespace

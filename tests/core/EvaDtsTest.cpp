#include "EvaDts.h"
#include "FileIO.h"

#include <gtest/gtest.h>

using namespace vm::evadts;

namespace {

std::string sample() {
    // A vending machine's audit report published as the sample of the EVA-DTS parser at
    // https://github.com/reneaaron/eva-dts-parser (public/sample.txt); its G85 reads F66D.
    const auto bytes = vm::ReadWholeFile(std::filesystem::path(VM_CORE_TEST_DATA) / "public-sample.eva", 1 << 20);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

std::string withLfOnly(std::string text) {
    std::erase(text, '\r');
    return text;
}

} // namespace

TEST(EvaDts, CrcMatchesAPublishedReportAndTheStandardCheckValue) {
    EXPECT_EQ(Crc16("123456789"), 0xBB3D); // the check value of this CRC-16
    const std::string text = sample();
    ASSERT_FALSE(text.empty());
    for (const std::string& form : {text, withLfOnly(text)}) {
        const Report report = ReadReport(form);
        ASSERT_TRUE(report.ok()) << report.errorLine << ": " << report.error;
        ASSERT_TRUE(report.storedCrc);
        EXPECT_EQ(*report.storedCrc, 0xF66D);
        EXPECT_EQ(report.computedCrc, 0xF66D);
        EXPECT_EQ(report.crcLine, 144);
        ASSERT_EQ(report.segments.size(), 146u);
        EXPECT_EQ(report.segments[8].segment, (Segment{"VA1", {"143500", "423", "142450", "421", "0", "0", "0",
                                                               "0", "0", "0", "0", "0"}}));
        EXPECT_EQ(report.segments[8].line, 9);
    }
}

// Empty elements at the end are left out, those in between kept; the CRC (worked out separately) covers ST
// to the segment before G85, and SE counts ST to SE.
TEST(EvaDts, WriterFramesTheBodyAndReaderGetsItBack) {
    const std::vector<Segment> body = {
        {"ID1", {"", "7"}}, {"VA2", {"", "12", "", ""}}, {"PA1", {"J103", "a*b"}}, {"EA3", {}}};
    const std::string text = WriteReport("VMC0000482", body);
    EXPECT_EQ(text, "DXS*VMC0000482*VA*V0/6*1\r\nST*001*0001\r\nID1**7\r\nVA2**12\r\nPA1*J103*a b\r\nEA3\r\n"
                    "G85*F992\r\nSE*7*0001\r\nDXE*1*1\r\n");
    const Report back = ReadReport(text);
    ASSERT_TRUE(back.ok()) << back.error;
    EXPECT_TRUE(back.crcMatches());
    ASSERT_EQ(back.segments.size(), 9u);
    EXPECT_EQ(back.segments[4].segment, (Segment{"PA1", {"J103", "a b"}}));
    EXPECT_EQ(back.segments[3].segment, (Segment{"VA2", {"", "12"}}));
}

TEST(EvaDts, AWrongCrcIsReportedNotRefused) {
    std::string text = sample();
    const auto at = text.find("VA3*20*2*0*0");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 12, "VA3*20*3*0*0"); // one count changed after the report was made
    const Report report = ReadReport(text);
    ASSERT_TRUE(report.ok()) << report.error;
    EXPECT_FALSE(report.crcMatches());
    EXPECT_EQ(*report.storedCrc, 0xF66D);
    EXPECT_NE(report.computedCrc, 0xF66D);
    // Without G85 there is nothing to check.
    EXPECT_TRUE(ReadReport("ST*001*0001\r\nVA1*1*1\r\nSE*3*0001\r\n").crcMatches());
}

TEST(EvaDts, MalformedReportsAreRefusedWithTheirLine) {
    const std::string head = "DXS*X*VA*V0/6*1\r\nST*001*0001\r\n";
    struct Case {
        std::string text;
        int line;
        const char* says;
    };
    const Case cases[] = {
        {"", 1, "no segments"},
        {"hello world\r\n", 1, "not a segment"},
        {head + "VA1*1\tx\r\n", 3, "control character"},
        {"VA1*1*1\r\nST*001*0001\r\n", 1, "VA1 before ST"},
        {"DXS*X\r\nVA1*1\r\n", 2, "VA1 before ST"},
        {head + "ST*001*0001\r\n", 3, "ST inside"},
        {head + "G85*12G4\r\nSE*3*0001\r\nDXE*1*1\r\n", 3, "hexadecimal"},
        {head + "G85*1234\r\nVA1*1\r\n", 4, "after G85"},
        {head + "VA1*1\r\nSE*4*0001\r\nDXE*1*1\r\n", 4, "SE counts 4 segments, the report has 3"},
        {head + "SE*x\r\n", 3, "no segment count"},
        {head + "SE*2*0001\r\nVA1\r\n", 4, "VA1 after SE"},
        {head + "SE*2*0001\r\nDXE*1*1\r\nDXS*X\r\n", 5, "after DXE"},
        {head + "VA1*1\r\n\r\n", 5, "ends without SE"},
        {head + "SE*2*0001\r\n", 4, "ends without DXE"},
    };
    for (const Case& c : cases) {
        const Report report = ReadReport(c.text);
        EXPECT_FALSE(report.ok()) << c.text;
        EXPECT_EQ(report.errorLine, c.line) << c.text;
        EXPECT_NE(report.error.find(c.says), std::string::npos) << c.text << " -> " << report.error;
    }
}

TEST(EvaDts, FieldNamesFollowTheStandard) {
    EXPECT_EQ(FieldName("VA1", 2), "Number Of All Paid Vends Since Initialisation");
    EXPECT_EQ(FieldName("ID4", 1), "Decimal Point Position");
    EXPECT_EQ(FieldName("CA11", 1), "Coin Value");
    EXPECT_EQ(FieldName("VA1", 5), "");
    EXPECT_EQ(FieldName("ZZ9", 1), "");
}

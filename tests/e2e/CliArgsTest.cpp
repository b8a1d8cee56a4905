#include "CliArgs.h"
#include "ProgressBar.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

using namespace vm::cli;

namespace {
ParseResult parse(std::vector<std::string> args) {
    return ParseCliArgs(args);
}
std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}
} // namespace

TEST(CliArgs, PortOptionsAndOperandsInAnyOrder) {
    auto r = parse({"save", "out.prm", "--port", "/dev/pts/3"});
    ASSERT_TRUE(r.args) << r.error;
    EXPECT_EQ(r.args->port, PortKind::Device);
    EXPECT_EQ(r.args->device, "/dev/pts/3");
    EXPECT_EQ(r.args->command, Command::Save);
    EXPECT_EQ(r.args->operands, std::vector<std::string>{"out.prm"});

    r = parse({"--com", "3", "get", "12", "4779"});
    ASSERT_TRUE(r.args) << r.error;
    EXPECT_EQ(r.args->port, PortKind::Com);
    EXPECT_EQ(r.args->com, 3);
    EXPECT_EQ(r.args->operands.size(), 2u);

    r = parse({"--simulate", "--no-progress", "--maps", "/tmp/m", "info"});
    ASSERT_TRUE(r.args) << r.error;
    EXPECT_EQ(r.args->port, PortKind::Simulate);
    EXPECT_FALSE(r.args->progress);
    EXPECT_EQ(r.args->mapDir, "/tmp/m");
    EXPECT_EQ(r.args->format, AuditFormat::Csv);

    r = parse({"audit", "a.eva", "--format", "eva-dts", "--usb"});
    ASSERT_TRUE(r.args) << r.error;
    EXPECT_EQ(r.args->format, AuditFormat::EvaDts);
}

TEST(CliArgs, RejectsBadCommandLines) {
    // A board command needs a port, and one port only.
    for (const char* bad :
         {"", "frobnicate", "info", "--usb --simulate info", "--com 0 info", "--com 256 info",
          "--com x3 info", "--port", "--usb save", "--usb save a b", "--usb get", "--usb get 0",
          "--usb get 33001", "--usb set 12", "--usb info extra", "diff a.prm", "--bogus info",
          "--usb audit a --format xml", "--usb audit a --format", "--usb info --format csv", "show-audit", "export",
          "export a b", "import t a", "show --all a"}) {
        const auto r = parse(words(bad));
        EXPECT_FALSE(r.args) << bad;
        EXPECT_FALSE(r.error.empty()) << bad;
        EXPECT_EQ(r.error.find('\n'), std::string::npos) << "errors are one line";
    }
}

TEST(CliArgs, OfflineCommandsNeedNoPortAndHelpNeedsNothing) {
    EXPECT_TRUE(parse({"show", "a.prm"}).args);
    EXPECT_TRUE(parse({"diff", "a.prm", "b.cfx"}).args);
    EXPECT_TRUE(parse({"show-audit", "a.eva"}).args);
    auto r = parse({"export", "a.prm", "--all"});
    ASSERT_TRUE(r.args) << r.error;
    EXPECT_TRUE(r.args->all);
    EXPECT_FALSE(parse({"export", "a.prm"}).args->all);
    r = parse({"import", "t.txt", "a.prm", "b.prm"});
    ASSERT_TRUE(r.args) << r.error;
    EXPECT_EQ(r.args->command, Command::Import);
    r = parse({"--help"});
    ASSERT_TRUE(r.args);
    EXPECT_TRUE(r.args->help);
    EXPECT_NE(HelpText().find("Exit status"), std::string::npos);
    // A file name that starts with '-' after "--" is an operand.
    r = parse({"show", "--", "-odd.prm"});
    ASSERT_TRUE(r.args) << r.error;
    EXPECT_EQ(r.args->operands, std::vector<std::string>{"-odd.prm"});
}

TEST(CliArgs, Assignments) {
    auto a = ParseAssignment("4779=3");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->index, 4779);
    EXPECT_EQ(a->value, "3");
    a = ParseAssignment("12=A=B");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->value, "A=B") << "the value is everything after the first '='";
    a = ParseAssignment("12=");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->value, "");
    EXPECT_FALSE(ParseAssignment("=3"));
    EXPECT_FALSE(ParseAssignment("abc=3"));
    EXPECT_FALSE(ParseAssignment("-1=3"));
}

TEST(ProgressBar, RendersClampedFraction) {
    EXPECT_EQ(RenderProgressBar("Save", 0, 100, 10), "Save [..........]   0%");
    EXPECT_EQ(RenderProgressBar("Save", 50, 100, 10), "Save [#####.....]  50%");
    EXPECT_EQ(RenderProgressBar("Save", 100, 100, 10), "Save [##########] 100%");
    EXPECT_EQ(RenderProgressBar("Save", 250, 100, 10), "Save [##########] 100%");
    EXPECT_EQ(RenderProgressBar("Save", -5, 100, 10), "Save [..........]   0%");
    EXPECT_EQ(RenderProgressBar("Save", 5, 0, 10), "Save [..........]   0%") << "no division by zero";
}

TEST(ProgressBar, DrawsOnlyWhenEnabledAndEndsTheLine) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    {
        ProgressBar disabled(out, false);
        disabled.update("Write", 5, 10);
    }
    std::fflush(out);
    EXPECT_EQ(size, 0u);
    {
        ProgressBar bar(out, true);
        bar.update("Write", 5, 10);
        bar.update("Write", 5, 10); // unchanged: not redrawn
        bar.update("Write", 10, 10);
    }
    std::fclose(out);
    const std::string text(buffer, size);
    std::free(buffer);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 2);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text.find("100%"), std::string::npos);
}

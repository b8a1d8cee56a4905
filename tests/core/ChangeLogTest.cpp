// The change log: edits grouped by the user's action, the board's acknowledgement of a write and its
// mirror, and the log files a crash leaves behind.

#include "ChangeLog.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vm {
namespace {

// Catalogue parameters: "probe minimum, unit 1" (3, mirror 4785), "price 1" (8471, mirror 8521) and the
// command that clears the sales data (4775).
constexpr int kProbe = 3, kProbeMirror = 4785, kPrice = 8471, kPriceMirror = 8521, kClearSales = 4775;

class Recorder : public ChangeLog::Listener {
public:
    void editDone(int edit, ChangeKind kind) override { done.emplace_back(edit, kind); }
    void changeAcknowledged(const Change& c) override { acknowledged.push_back(c.id); }
    std::vector<std::pair<int, ChangeKind>> done;
    std::vector<int> acknowledged;
};

class ChangeLogTest : public ::testing::Test {
protected:
    ChangeLogTest() {
        int address = 0x100;
        for (int index : {kProbe, kProbeMirror, kPrice, kPriceMirror, kClearSales}) {
            const std::array<std::uint8_t, kMapRecordSize> record{
                static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF), 0x51};
            state.FillCellFromMapRecord(index, 0, record);
            address += 2;
        }
        log.addListener(&recorder);
    }
    std::vector<std::string> lines(const std::filesystem::path& file) {
        std::vector<std::string> out;
        std::istringstream in(vmtest::readText(file));
        for (std::string line; std::getline(in, line);)
            if (!line.starts_with('#')) out.push_back(line);
        return out;
    }

    ProgramState state;
    ChangeLog log{state};
    Recorder recorder;
};

TEST_F(ChangeLogTest, TheWritesOfOneControlAreOneEditAndCommandsAreNotSettings) {
    {
        ChangeLog::EditScope edit(&log, {"FrmConf", "Option1(2)"});
        log.record("FrmConf", kProbe, kProbeMirror, 1, 5.0, 7.0);
        {
            ChangeLog::EditScope inner(&log, {"FrmConf", "other"}); // a rule of the window joins the edit
            log.record("FrmConf", kPrice, kPriceMirror, 2, 100.0, 150.0);
        }
        EXPECT_TRUE(recorder.done.empty()); // not complete before the outer scope ends
    }
    log.record("FrmPrezzi", kPrice, kPriceMirror, 2, 150.0, 120.0);   // a window's own write: an edit alone
    log.record("FrmCancella", kClearSales, 0, 1, 0.0, 1.0);           // a command
    { ChangeLog::EditScope nothing(&log, {"FrmConf", "Check1(0)"}); } // a change that wrote nothing

    ASSERT_EQ(log.changes().size(), 3u);
    const Change& first = log.changes()[0];
    EXPECT_EQ(first.edit, 1);
    EXPECT_EQ(first.control, "Option1(2)");
    EXPECT_EQ(log.changes()[1].edit, 1);
    EXPECT_EQ(log.changes()[1].control, "Option1(2)");
    EXPECT_EQ(log.changes()[2].edit, 2);
    EXPECT_EQ(log.changes()[2].window, "FrmPrezzi");
    EXPECT_EQ(log.changes()[2].control, "");
    const std::vector<std::pair<int, ChangeKind>> expected{{1, ChangeKind::Edit}, {2, ChangeKind::Edit}};
    EXPECT_EQ(recorder.done, expected);
    for (const Change& c : log.changes())
        EXPECT_EQ(c.state, ChangeState::Offline); // offline an edit is done at once
    EXPECT_EQ(log.changesOf(1).size(), 2u);
}

TEST_F(ChangeLogTest, AWriteIsAcknowledgedByTheDeliveriesOfItsCellAndMirrorOnceSent) {
    state.Online = true;
    state.SetParamValue(kProbe, 7.0); // as the image routine marks both cells
    state.SetParamValue(kProbeMirror, 7.0);
    log.record("FrmTempi", kProbe, kProbeMirror, 1, 5.0, 7.0);
    ASSERT_EQ(log.changes()[0].state, ChangeState::Sent);

    log.deliver(kProbe, 7.0); // still marked for writing: not the board's answer to this write
    EXPECT_EQ(log.changes()[0].state, ChangeState::Sent);
    state.cell(kProbe, 0).at(CellPos::Status) &= static_cast<std::uint8_t>(~WritePending); // the link sent it
    log.deliver(kProbe, 7.0);
    EXPECT_EQ(log.changes()[0].state, ChangeState::Sent) << "the mirror has not been answered";
    state.cell(kProbeMirror, 0).at(CellPos::Status) &= static_cast<std::uint8_t>(~WritePending);
    log.deliver(kProbeMirror, 7.0);
    EXPECT_EQ(log.changes()[0].state, ChangeState::Acknowledged);
    EXPECT_EQ(recorder.acknowledged, std::vector<int>{1});

    // Offline a delivery is no answer of the board.
    log.record("FrmTempi", kPrice, 0, 2, 0.0, 10.0);
    state.Online = false;
    log.deliver(kPrice, 10.0);
    EXPECT_EQ(log.changes()[1].state, ChangeState::Sent);
}

TEST_F(ChangeLogTest, EachLogIsAFileOnlyItsOwnerReadsWrittenAsTheChangesCome) {
    vmtest::TempDir dir;
    log.setFolder(dir / "changes");
    log.record("FrmPrezzi", kPrice, kPriceMirror, 2, 100.0, 150.0);
    const std::filesystem::path first = log.file();
    ASSERT_FALSE(first.empty()) << log.fileError();
    EXPECT_EQ(first.parent_path(), dir / "changes");
    EXPECT_EQ(std::filesystem::status(first).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(std::filesystem::status(dir / "changes").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    std::vector<std::string> got = lines(first);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_TRUE(got[0].starts_with("log\t1\t")) << got[0];
    EXPECT_TRUE(got[0].ends_with("\tstart")) << got[0];
    // change ID EDIT TIME KIND WINDOW CONTROL INDEX NAME OLD NEW STATE
    EXPECT_TRUE(got[1].starts_with("change\t1\t1\t")) << got[1];
    EXPECT_TRUE(got[1].ends_with("\tedit\tFrmPrezzi\t\t8471\tprice 1\t100\t150\toffline")) << got[1];

    // Connected: the acknowledgement follows as a line of its own.
    state.Online = true;
    log.record("FrmTempi", kProbe, 0, 1, 5.0, 6.0);
    log.deliver(kProbe, 6.0);
    got = lines(first);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_TRUE(got[2].ends_with("\t3\tprobe minimum, unit 1\t5\t6\tsent")) << got[2];
    EXPECT_TRUE(got[3].starts_with("ack\t2\t")) << got[3];

    // A Load starts the next log in a file of its own; a text is written quoted.
    state.Online = false;
    log.startNew("Load File visit.prm");
    EXPECT_TRUE(log.file().empty()); // until its first change
    log.record("FrmMessCust1", kPrice, 0, 0, std::string("OLD "), std::string("A\"B"));
    ASSERT_NE(log.file(), first);
    got = lines(log.file());
    ASSERT_EQ(got.size(), 2u);
    EXPECT_TRUE(got[0].starts_with("log\t2\t")) << got[0];
    EXPECT_TRUE(got[0].ends_with("\tLoad File visit.prm")) << got[0];
    EXPECT_TRUE(got[1].ends_with("\t\"OLD \"\t\"A\\\"B\"\toffline")) << got[1];
    EXPECT_EQ(log.changes()[2].log, 2);
    EXPECT_EQ(lines(first).size(), 4u); // the earlier log's file is left as it was
}

} // namespace
} // namespace vm

// Whole-memory transfers and the unit reading.
#include "BlockTransfer.h"
#include "LinkFixture.h"
#include "UnitReader.h"

namespace vm::link::test {
namespace {

constexpr int kSaveFrames = 119 + 1 + 46 + 1 + 496 + 1 + 3;
constexpr int kWriteFrames = 119 + 15 + 46 + 15 + 496 + 15;

class TransferTest : public LinkTest {
protected:
    void SetUp() override {
        for (int a = 0; a < kConfigAreaSize; ++a)
            setBoardByte(a, static_cast<std::uint8_t>(a * 7 + 3));
        for (int a = 0; a < 48; ++a)
            board.memory().write(sim::kAuxSpace, static_cast<std::uint16_t>(a), static_cast<std::uint8_t>(200 - a));
    }
    bool finished() const { return !observer.finished.empty(); }
    bool finish() { return runUntil([&] { return finished(); }, 60000); }
    // The live link works again: a watched parameter is read.
    void expectLiveLink() {
        EXPECT_EQ(port.receiveThreshold(), 1);
        EXPECT_EQ(engine->state(), LinkState::Pumping);
        board.faultHook = nullptr;
        const auto before = form.received.size();
        state.WatchParam(kWord);
        EXPECT_TRUE(runUntil([&] { return form.received.size() > before; }, 500));
    }
};

TEST_F(TransferTest, SaveReadsTheThreeAreasAndTheSecondArea) {
    connectBoard();
    engine->saveRead();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(observer.finished[0].ok) << observer.finished[0].error;
    ASSERT_EQ(frames().size(), static_cast<std::size_t>(kSaveFrames));
    for (int b = 0; b < 119; ++b)
        EXPECT_EQ(AddressOf(frames()[b]), 16 + 16 * b);
    EXPECT_EQ(frames()[0], (Bytes{0x5F, 0x00, 0x10, 0x00, 0x6F}));
    EXPECT_EQ(frames()[119], (Bytes{0x5E, 0x00, 0x80, 0x07, 0xE5})); // 15 bytes at 1920
    EXPECT_EQ(frames()[120], (Bytes{0x5F, 0x00, 0x00, 0x0C, 0x6B})); // 3072
    EXPECT_EQ(frames()[kSaveFrames - 4], (Bytes{0x5E, 0x00, 0x70, 0x32, 0x00})); // 15 bytes at 12912
    EXPECT_EQ(frames()[kSaveFrames - 1], (Bytes{0x1F, 0x00, 0x20, 0x00, 0x3F}));
    for (auto area : {kAreaA, kAreaB, kAreaC})
        for (int a = area.first; a < area.first + area.bytes; ++a)
            ASSERT_EQ(state.ConfigImage[a], boardByte(a)) << a;
    EXPECT_EQ(state.ConfigImage[12927], 0); // never transferred
    EXPECT_EQ(state.ConfigImage[1935], 0);  // between areas
    EXPECT_EQ(state.ConfigImage[15], 0);
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(state.AuxImage[i], 200 - i);
    EXPECT_EQ(observer.progress.back(), std::make_pair(kSaveFrames, kSaveFrames));
    expectLiveLink();
}

struct ReadFault {
    ReplyFault fault;
    int times;
    bool ok;
};

class SaveFaultTest : public TransferTest, public ::testing::WithParamInterface<ReadFault> {};

TEST_P(SaveFaultTest, FaultyBlockIsAskedAgainOrTheSaveChangesNothing) {
    const ReadFault f = GetParam();
    connectBoard();
    failAt(3072, f.fault, f.times);
    engine->saveRead();
    ASSERT_TRUE(finish());
    EXPECT_EQ(observer.finished[0].ok, f.ok);
    // A reply in two pieces is one good reply.
    EXPECT_EQ(framesFor(3072), f.fault == ReplyFault::Split ? 1 : std::min(f.times + 1, kBlockAttempts));
    if (f.ok) {
        // Every block holds its own bytes: a late reply taken for a later block would shift them.
        for (auto area : {kAreaA, kAreaB, kAreaC})
            for (int a = area.first; a < area.first + area.bytes; ++a)
                ASSERT_EQ(state.ConfigImage[a], boardByte(a)) << a;
        EXPECT_TRUE(observer.messages.empty());
    } else {
        // Nothing of the board's memory was taken, and the caller is told not to write the file.
        EXPECT_EQ(state.ConfigImage[16], 0);
        EXPECT_EQ(state.ConfigImage[3072], 0);
        ASSERT_EQ(observer.messages.size(), 1u);
        EXPECT_NE(observer.messages[0].text.find("3072"), std::string::npos);
        EXPECT_NE(observer.finished[0].error.find("not saved"), std::string::npos);
        EXPECT_EQ(framesFor(3088), 0); // the save stopped there
    }
    expectLiveLink();
}

INSTANTIATE_TEST_SUITE_P(Faults, SaveFaultTest,
                         ::testing::Values(ReadFault{ReplyFault::CorruptChecksum, 1, true},
                                           ReadFault{ReplyFault::DropChecksum, 2, true},
                                           ReadFault{ReplyFault::Late, 1, true},
                                           ReadFault{ReplyFault::ExtraByte, 1, true},
                                           ReadFault{ReplyFault::Split, 99, true},
                                           ReadFault{ReplyFault::CorruptChecksum, 99, false},
                                           ReadFault{ReplyFault::Drop, 99, false}));

// A save or a board write started while a parameter request is on its way lets that request end: its
// reply is taken as usual (no time-out, no port reset), then the transfer starts. A request that gets no
// reply holds the transfer back until its time-out.
TEST_F(TransferTest, ATransferWaitsForTheRequestInFlight) {
    for (const bool save : {true, false}) {
        observer.finished.clear();
        form.received.clear();
        connectBoard(save ? ConnectPurpose::Edit : ConnectPurpose::WriteBoard);
        setBoardByte(0x0123, 0x34);
        setBoardByte(0x0124, 0x12);
        state.WatchParam(kWord);
        ASSERT_TRUE(runUntil([&] { return frames().size() == 1; }));
        const int closes = port.closeCount;
        save ? engine->saveRead() : engine->writeBoard();
        EXPECT_EQ(frames().size(), 1u); // the request still owns the line
        ASSERT_TRUE(finish());
        EXPECT_TRUE(observer.finished[0].ok) << observer.finished[0].error;
        ASSERT_EQ(form.received.size(), 1u);
        EXPECT_EQ(std::get<double>(form.received[0].second), 4660.0);
        EXPECT_EQ(port.closeCount, closes);
        EXPECT_EQ(std::count(observer.statuses.begin(), observer.statuses.end(), 6), 0);
        EXPECT_EQ(frames()[1][0], save ? 0x5F : 0xDF);
        engine->disconnect();
        observer.outcome.reset();
    }

    connectBoard();
    failFirst(1, ReplyFault::Drop);
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return frames().size() == 1; }));
    observer.finished.clear();
    engine->saveRead();
    timers.advance(kReplyTimeoutMs - 1);
    EXPECT_EQ(frames().size(), 1u);
    ASSERT_TRUE(finish());
    EXPECT_TRUE(observer.finished[0].ok);
    EXPECT_EQ(frames()[1], (Bytes{0x5F, 0x00, 0x10, 0x00, 0x6F}));
}

// An edit made in an open editor while the save reads the board stays in the image (and so in the file),
// and is written to the board afterwards.
TEST_F(TransferTest, AnEditMadeDuringTheSaveIsKept) {
    connectBoard();
    engine->saveRead();
    ASSERT_TRUE(runUntil([&] { return frames().size() > 10; })); // address 0x10 (kByte) has been read
    state.WriteImageByte(kByte, 0, 0x77, nullptr);
    ASSERT_TRUE(finish());
    ASSERT_TRUE(observer.finished[0].ok);
    EXPECT_EQ(state.ConfigImage[0x10], 0x77);
    EXPECT_EQ(state.ConfigImage[0x11], boardByte(0x11));
    ASSERT_TRUE(runUntil([&] { return boardByte(0x10) == 0x77; }, 500));
}

TEST_F(TransferTest, WriteSendsTheThreeAreasInBlocksAndBytes) {
    for (int a = 0; a < kConfigAreaSize; ++a)
        state.ConfigImage[a] = static_cast<std::uint8_t>(a % 251);
    connectBoard(ConnectPurpose::WriteBoard);
    engine->writeBoard();
    ASSERT_TRUE(finish());
    EXPECT_TRUE(observer.finished[0].ok) << observer.finished[0].error;
    ASSERT_EQ(frames().size(), static_cast<std::size_t>(kWriteFrames));
    EXPECT_EQ(frames()[0][0], 0xDF);
    EXPECT_EQ(AddressOf(frames()[119]), 1920);
    EXPECT_EQ(frames()[119][0], 0xD0);
    EXPECT_EQ(AddressOf(frames().back()), 12926);
    for (auto area : {kAreaA, kAreaB, kAreaC})
        for (int a = area.first; a < area.first + area.bytes; ++a)
            ASSERT_EQ(boardByte(a), state.ConfigImage[a]) << a;
    EXPECT_NE(boardByte(12927), state.ConfigImage[12927]);
    EXPECT_EQ(observer.progress.front(), std::make_pair(0, 134)); // area A: 119 blocks + 15 bytes
    EXPECT_TRUE(observer.messages.empty());
    expectLiveLink();
}

// A block acknowledged wrongly is sent again, then "Checksum Error" ends its area and the next areas are
// still written. A tail byte takes any acknowledgement; only a missing one is asked again.
TEST_F(TransferTest, AcknowledgementsOfBlocksAreCheckedThoseOfTailBytesAreNot) {
    connectBoard(ConnectPurpose::WriteBoard);
    failAt(32, ReplyFault::CorruptChecksum);
    engine->writeBoard();
    ASSERT_TRUE(finish());
    EXPECT_FALSE(observer.finished[0].ok);
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].text, "Checksum Error");
    EXPECT_EQ(observer.messages[0].title, "Vending Config");
    EXPECT_EQ(observer.messages[0].icon, kIconCritical);
    EXPECT_EQ(framesFor(32), kBlockAttempts);
    EXPECT_EQ(framesFor(48), 0);   // rest of area A skipped
    EXPECT_EQ(framesFor(3072), 1); // area B written
    EXPECT_EQ(framesFor(12926), 1);
    expectLiveLink();

    frames().clear();
    observer.messages.clear();
    board.faultHook = [silent = 1](const sim::Frame& f) mutable {
        if (f.address == 1925) return ReplyFault::CorruptChecksum;
        if (f.address == 1926) return ReplyFault::ExtraByte;
        if (f.address == 1927 && silent-- > 0) return ReplyFault::Drop;
        return ReplyFault::None;
    };
    engine->writeBoard();
    ASSERT_TRUE(runUntil([&] { return observer.finished.size() == 2; }, 60000));
    EXPECT_TRUE(observer.finished[1].ok) << observer.finished[1].error;
    EXPECT_TRUE(observer.messages.empty());
    EXPECT_EQ(framesFor(1925), 1);
    EXPECT_EQ(framesFor(1926), 1);
    EXPECT_EQ(framesFor(1927), 2);
    EXPECT_EQ(framesFor(1934), 1);
}

TEST_F(TransferTest, SilentBoardGivesCommunicationErrorPerArea) {
    connectBoard(ConnectPurpose::WriteBoard);
    failFirst(100000, ReplyFault::Drop, [](const sim::Frame& f) { return f.isWrite(); });
    engine->writeBoard();
    ASSERT_TRUE(finish());
    EXPECT_FALSE(observer.finished[0].ok);
    ASSERT_EQ(observer.messages.size(), 3u);
    for (const auto& m : observer.messages)
        EXPECT_EQ(m.text, " Communication Error ");
    EXPECT_EQ(frames().size(), 3u * kBlockAttempts);
    expectLiveLink();
}

TEST_F(TransferTest, DisconnectOrALostPortEndsATransferUnfinished) {
    for (const bool save : {true, false}) {
        observer.finished.clear();
        connectBoard(save ? ConnectPurpose::Edit : ConnectPurpose::WriteBoard);
        save ? engine->saveRead() : engine->writeBoard();
        timers.advance(100);
        save ? engine->disconnect() : port.lose("unplugged");
        ASSERT_EQ(observer.finished.size(), 1u);
        EXPECT_FALSE(observer.finished[0].ok);
        EXPECT_FALSE(port.isOpen());
        EXPECT_FALSE(state.Online);
        EXPECT_EQ(state.ConfigImage[16], 0); // nothing of a broken save is taken
        const auto sent = frames().size();
        timers.advance(5000);
        EXPECT_EQ(frames().size(), sent);
        EXPECT_EQ(observer.finished.size(), 1u);
    }
    EXPECT_EQ(observer.disconnectReasons, (std::vector<std::string>{"", "unplugged"}));
}

class UnitReadTest : public LinkTest {};

// Each unit parameter is asked as soon as everything asked before it has arrived, in the order unit 1,
// model code, units 2, 3, 4; the menus of unit 1 are set as soon as its code arrives; the reading ends as
// soon as the fourth code is in.
TEST_F(UnitReadTest, OnlineReadsTheUnitsOneAfterTheOther) {
    const std::uint8_t codes[] = {0x31, 0x02, 0x43, 0x04};
    for (int i = 0; i < 4; ++i)
        setBoardByte(kUnitAddress + i, codes[i]);
    setBoardByte(kUnitAddress + 0x10, 9);
    connectBoard();
    const std::int64_t start = timers.nowMs();
    engine->readUnits();
    ASSERT_TRUE(runUntil([&] { return observer.units.has_value(); }));
    // Five requests on the 40 ms pump, far below the 1.1 s a unit may take at most.
    EXPECT_LT(timers.nowMs() - start, kUnitWatchIntervalMs);
    std::vector<int> asked;
    for (const Bytes& frame : frames())
        asked.push_back(AddressOf(frame) - kUnitAddress);
    EXPECT_EQ(asked, (std::vector<int>{0, 0x10, 1, 2, 3}));
    EXPECT_EQ(observer.menuEffects, std::vector<int>{1});
    EXPECT_EQ(observer.units->unitCodes, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(state.UnitCodes, observer.units->unitCodes);
    EXPECT_EQ(state.SlaveType3, 3);
    EXPECT_EQ(state.ModelCode, 9);
    EXPECT_TRUE(observer.units->online);
    EXPECT_EQ(observer.texts, std::vector<std::string>{"... DONE! ... "});
    EXPECT_EQ(observer.progress.back(), std::make_pair(100, 100));
    for (int p = 4779; p <= 4782; ++p)
        EXPECT_EQ(state.cell(p, 0).at(CellPos::WatchCount), 0) << p;
    EXPECT_EQ(state.cell(kModelCodeParam, 0).at(CellPos::WatchCount), 0);
}

// A unit code that does not come holds the next unit back no longer than the watch interval.
TEST_F(UnitReadTest, ALostUnitReplyDelaysTheNextUnitAtMostTheInterval) {
    failFirst(1, ReplyFault::Drop, [](const sim::Frame& f) { return f.address == kUnitAddress + 1; });
    connectBoard();
    engine->readUnits();
    std::map<int, std::int64_t> watchedAt;
    ASSERT_TRUE(runUntil([&] {
        for (int p = 4780; p <= 4782; ++p)
            if (state.cell(p, 0).at(CellPos::WatchCount) > 0) watchedAt.try_emplace(p, timers.nowMs());
        return observer.units.has_value();
    }));
    EXPECT_EQ(watchedAt[4781] - watchedAt[4780], kUnitWatchIntervalMs);
    EXPECT_EQ(observer.progress.back(), std::make_pair(100, 100));
}

TEST_F(UnitReadTest, ModelCodeAloneDoesNotFinish) {
    failAt(kUnitAddress + 3, ReplyFault::Drop);
    setBoardByte(kUnitAddress + 0x10, 9);
    connectBoard();
    engine->readUnits();
    timers.advance(10000);
    EXPECT_FALSE(observer.units.has_value());
    EXPECT_EQ(state.ModelCode, 9);
    EXPECT_EQ(observer.progress.back(), std::make_pair(75, 100));
}

// A unit code delivered again (here unit 1's type written while the reading runs: the acknowledgement
// delivers it) is the same unit: the reading still asks units 3 and 4 and reports every code once.
TEST_F(UnitReadTest, AUnitCodeDeliveredTwiceCountsOnce) {
    const std::uint8_t codes[] = {0x05, 0x02, 0x03, 0x04};
    for (int i = 0; i < 4; ++i)
        setBoardByte(kUnitAddress + i, codes[i]);
    setBoardByte(kUnitAddress + 0x10, 9);
    connectBoard();
    engine->readUnits();
    ASSERT_TRUE(runUntil([&] { return !observer.menuEffects.empty(); }));
    state.SetParamValue(kFirstUnitParam, 5);
    ASSERT_TRUE(runUntil([&] { return observer.units.has_value(); }));
    std::vector<int> asked;
    for (const Bytes& frame : frames())
        asked.push_back(AddressOf(frame) - kUnitAddress);
    EXPECT_EQ(asked, (std::vector<int>{0, 0x10, 0, 1, 2, 3})); // the write of unit 1 among the reads
    EXPECT_EQ(frames()[2][0], 0xD0);
    EXPECT_EQ(observer.units->unitCodes, (std::array<std::uint8_t, 4>{5, 2, 3, 4}));
    EXPECT_EQ(observer.menuEffects, std::vector<int>{5});
    EXPECT_EQ(observer.unitsReadCount, 1);
}

TEST_F(UnitReadTest, ANewReadingReplacesTheRunningOne) {
    connectBoard();
    engine->readUnits();
    // Replaced as soon as unit 1 is in, before the other units.
    ASSERT_TRUE(runUntil([&] { return !observer.menuEffects.empty(); }));
    engine->readUnits();
    ASSERT_TRUE(runUntil([&] { return observer.units.has_value(); }));
    timers.advance(10000);
    EXPECT_EQ(observer.unitsReadCount, 1); // the replaced reading gives no result
    for (int p = 4779; p <= 4782; ++p)
        EXPECT_EQ(state.cell(p, 0).at(CellPos::WatchCount), 0) << p;
    EXPECT_EQ(state.cell(kModelCodeParam, 0).at(CellPos::WatchCount), 0);
}

TEST_F(UnitReadTest, OfflineUsesTheStoredCodes) {
    state.UnitCodes = {0x17, 2, 0, 0};
    state.AuxImage[8] = 5;
    engine->readUnits();
    EXPECT_EQ(observer.menuEffects, std::vector<int>{7});
    EXPECT_FALSE(observer.units.has_value()); // reported from the event loop, not from inside the call
    timers.advance(1);
    ASSERT_TRUE(observer.units.has_value());
    EXPECT_FALSE(observer.units->online);
    EXPECT_EQ(state.SlaveType1, 7);
    EXPECT_EQ(state.ModelCode, 5);
}

} // namespace
} // namespace vm::link::test

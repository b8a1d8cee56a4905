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
        for (std::size_t a = 0; a < board.memory.size(); ++a)
            board.memory[a] = static_cast<std::uint8_t>(a * 7 + 3);
        for (std::size_t a = 0; a < board.aux.size(); ++a)
            board.aux[a] = static_cast<std::uint8_t>(200 - a);
        board.setIdentity(0, 21, 18, 482, 5);
    }
    bool finished() const { return !observer.finished.empty(); }
    // Fails every frame for `address` with `fault`, at most `times` times.
    void failAt(int address, Fault fault, int times = 1000) {
        board.script = [=, count = 0](const Bytes& frame) mutable {
            return FakeBoard::address(frame) == address && count++ < times ? fault : Fault::None;
        };
    }
    int framesFor(int address) const {
        return static_cast<int>(std::count_if(port.written.begin(), port.written.end(), [&](const Bytes& f) {
            return FakeBoard::address(f) == address;
        }));
    }
    // The live link works again: a watched parameter is read.
    void expectLiveLink() {
        EXPECT_EQ(port.receiveThreshold(), 1);
        EXPECT_EQ(engine->state(), LinkState::Pumping);
        board.script = nullptr;
        const auto before = form.received.size();
        state.WatchParam(kWord);
        EXPECT_TRUE(runUntil([&] { return form.received.size() > before; }, 500));
    }
};

TEST_F(TransferTest, SaveReadsTheThreeAreasAndTheSecondArea) {
    connectBoard();
    engine->saveRead();
    ASSERT_TRUE(runUntil([&] { return finished(); }, 60000));
    EXPECT_TRUE(observer.finished[0].ok) << observer.finished[0].error;
    ASSERT_EQ(frames().size(), static_cast<std::size_t>(kSaveFrames));
    for (int b = 0; b < 119; ++b)
        EXPECT_EQ(frames()[b], BlockReadFrame(static_cast<std::uint16_t>(16 + 16 * b)));
    EXPECT_EQ(frames()[119], (Bytes{0x5E, 0x00, 0x80, 0x07, 0xE5})); // 15 bytes at 1920
    EXPECT_EQ(frames()[120], BlockReadFrame(3072));
    EXPECT_EQ(frames()[kSaveFrames - 4], ShortReadFrame(12912, 15));
    EXPECT_EQ(frames()[kSaveFrames - 1], SecondAreaReadFrame(32));
    for (auto area : {kAreaA, kAreaB, kAreaC})
        for (int a = area.first; a < area.first + area.bytes; ++a)
            ASSERT_EQ(state.ConfigImage[a], board.memory[a]) << a;
    EXPECT_EQ(state.ConfigImage[12926], board.memory[12926]);
    EXPECT_EQ(state.ConfigImage[12927], 0); // never transferred
    EXPECT_EQ(state.ConfigImage[1935], 0);  // between areas
    EXPECT_EQ(state.ConfigImage[15], 0);
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(state.AuxImage[i], board.aux[i]);
    EXPECT_EQ(observer.progress.back(), std::make_pair(kSaveFrames, kSaveFrames));
    expectLiveLink();
}

TEST_F(TransferTest, OfflineSaveHasNothingToRead) {
    engine->saveRead();
    ASSERT_TRUE(finished());
    EXPECT_TRUE(observer.finished[0].ok);
    EXPECT_TRUE(frames().empty());
}

struct ReadFault {
    Fault fault;
    int times;
    bool ok;
};

class SaveFaultTest : public TransferTest, public ::testing::WithParamInterface<ReadFault> {};

TEST_P(SaveFaultTest, FaultyBlockIsAskedAgainOrTheSaveChangesNothing) {
    const ReadFault f = GetParam();
    connectBoard();
    failAt(3072, f.fault, f.times);
    engine->saveRead();
    ASSERT_TRUE(runUntil([&] { return finished(); }, 60000));
    EXPECT_EQ(observer.finished[0].ok, f.ok);
    // A reply in two pieces is one good reply.
    EXPECT_EQ(framesFor(3072), f.fault == Fault::Split ? 1 : std::min(f.times + 1, kBlockAttempts));
    if (f.ok) {
        EXPECT_EQ(state.ConfigImage[3072], board.memory[3072]);
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

INSTANTIATE_TEST_SUITE_P(
    Faults, SaveFaultTest,
    ::testing::Values(ReadFault{Fault::BadChecksum, 1, true}, ReadFault{Fault::Short, 2, true},
                      ReadFault{Fault::Late, 1, true}, ReadFault{Fault::NoReply, 1, true},
                      ReadFault{Fault::Extra, 1, true}, ReadFault{Fault::Split, 99, true},
                      ReadFault{Fault::BadChecksum, 99, false}, ReadFault{Fault::Short, 99, false},
                      ReadFault{Fault::NoReply, 99, false}, ReadFault{Fault::Extra, 99, false}));

TEST_F(TransferTest, SaveWaitsForTheRequestInFlight) {
    connectBoard();
    board.script = [](const Bytes& frame) { return frame[0] == 0x51 ? Fault::NoReply : Fault::None; };
    state.WatchParam(kWord);
    ASSERT_TRUE(runUntil([&] { return frames().size() == 1; }));
    engine->saveRead();
    timers.advance(900);
    EXPECT_EQ(frames().size(), 1u); // the parameter request still owns the line
    ASSERT_TRUE(runUntil([&] { return finished(); }, 60000));
    EXPECT_TRUE(observer.finished[0].ok);
    EXPECT_EQ(frames()[1], BlockReadFrame(16));
}

TEST_F(TransferTest, WriteSendsTheThreeAreasInBlocksAndBytes) {
    for (int a = 0; a < kConfigAreaSize; ++a)
        state.ConfigImage[a] = static_cast<std::uint8_t>(a % 251);
    connectBoard(ConnectPurpose::WriteBoard);
    engine->writeBoard();
    ASSERT_TRUE(runUntil([&] { return finished(); }, 60000));
    EXPECT_TRUE(observer.finished[0].ok) << observer.finished[0].error;
    ASSERT_EQ(frames().size(), static_cast<std::size_t>(kWriteFrames));
    EXPECT_EQ(frames()[0][0], 0xDF);
    EXPECT_EQ(FakeBoard::address(frames()[119]), 1920);
    EXPECT_EQ(frames()[119][0], 0xD0);
    EXPECT_EQ(FakeBoard::address(frames().back()), 12926);
    for (auto area : {kAreaA, kAreaB, kAreaC})
        for (int a = area.first; a < area.first + area.bytes; ++a)
            ASSERT_EQ(board.memory[a], state.ConfigImage[a]) << a;
    EXPECT_NE(board.memory[12927], state.ConfigImage[12927]);
    EXPECT_EQ(observer.progress.front(), std::make_pair(0, 134)); // area A: 119 blocks + 15 bytes
    EXPECT_TRUE(observer.messages.empty());
    expectLiveLink();
}

TEST_F(TransferTest, WrongAcknowledgementEndsTheAreaAndTheNextAreasAreWritten) {
    connectBoard(ConnectPurpose::WriteBoard);
    failAt(32, Fault::WrongAck);
    engine->writeBoard();
    ASSERT_TRUE(runUntil([&] { return finished(); }, 60000));
    EXPECT_FALSE(observer.finished[0].ok);
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].text, "Checksum Error");
    EXPECT_EQ(observer.messages[0].title, "Vending Config");
    EXPECT_EQ(observer.messages[0].icon, kIconCritical);
    EXPECT_EQ(framesFor(32), kBlockAttempts); // the block is sent again before the area gives up
    EXPECT_EQ(framesFor(48), 0);              // rest of area A skipped
    EXPECT_EQ(framesFor(3072), 1);            // area B written
    EXPECT_EQ(framesFor(12926), 1);
    expectLiveLink();

    // The same for a byte of an area's tail.
    frames().clear();
    failAt(1925, Fault::WrongAck);
    engine->writeBoard();
    ASSERT_TRUE(runUntil([&] { return observer.finished.size() == 2; }, 60000));
    EXPECT_FALSE(observer.finished[1].ok);
    EXPECT_EQ(framesFor(1926), 0);
}

TEST_F(TransferTest, SilentBoardGivesCommunicationErrorPerArea) {
    connectBoard(ConnectPurpose::WriteBoard);
    board.script = [](const Bytes& frame) { return frame[0] & 0x80 ? Fault::NoReply : Fault::None; };
    engine->writeBoard();
    ASSERT_TRUE(runUntil([&] { return finished(); }, 60000));
    EXPECT_FALSE(observer.finished[0].ok);
    ASSERT_EQ(observer.messages.size(), 3u);
    for (const auto& m : observer.messages)
        EXPECT_EQ(m.text, " Communication Error ");
    EXPECT_EQ(frames().size(), 3u * kBlockAttempts);
    expectLiveLink();
}

TEST_F(TransferTest, AWriteAnsweredBadlyOnceIsSentAgainAndTheWriteSucceeds) {
    connectBoard(ConnectPurpose::WriteBoard);
    state.ConfigImage[40] = 0x5A;
    board.script = [wrongAck = 1, silent = 1](const Bytes& frame) mutable {
        if (FakeBoard::address(frame) == 32 && wrongAck-- > 0) return Fault::WrongAck;
        if (FakeBoard::address(frame) == 3072 && silent-- > 0) return Fault::NoReply;
        return Fault::None;
    };
    engine->writeBoard();
    ASSERT_TRUE(runUntil([&] { return finished(); }, 60000));
    EXPECT_TRUE(observer.finished[0].ok) << observer.finished[0].error;
    EXPECT_TRUE(observer.messages.empty());
    EXPECT_EQ(framesFor(32), 2);
    EXPECT_EQ(board.memory[40], 0x5A);
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

TEST_F(UnitReadTest, OnlineReadsTheFourUnitsStaggered) {
    const std::uint8_t codes[] = {0x31, 0x02, 0x43, 0x04};
    for (int i = 0; i < 4; ++i)
        board.memory[kUnitAddress + i] = codes[i];
    board.memory[kUnitAddress + 0x10] = 9;
    std::vector<std::pair<std::int64_t, int>> sent;
    connectBoard();
    const std::int64_t start = timers.nowMs();
    port.onWrite = [&, board = port.onWrite](const Bytes& frame) {
        sent.emplace_back(timers.nowMs() - start, FakeBoard::address(frame));
        board(frame);
    };
    engine->readUnits();
    ASSERT_TRUE(runUntil([&] { return observer.units.has_value(); }));
    for (const auto& [at, address] : sent) {
        if (address >= kUnitAddress + 1 && address <= kUnitAddress + 3) {
            EXPECT_GE(at, (address - kUnitAddress) * kUnitWatchIntervalMs);
        }
    }
    EXPECT_EQ(observer.units->unitCodes, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(state.UnitCodes, observer.units->unitCodes);
    EXPECT_EQ(state.SlaveType3, 3);
    EXPECT_EQ(state.ModelCode, 9);
    EXPECT_EQ(observer.units->menuEffect, UnitMenuEffect::EnableDrinks);
    EXPECT_TRUE(observer.units->online);
    EXPECT_EQ(observer.texts, std::vector<std::string>{"... DONE! ... "});
    EXPECT_EQ(observer.progress.back(), std::make_pair(100, 100));
    for (int p = 4779; p <= 4782; ++p)
        EXPECT_EQ(state.cell(p, 0).at(CellPos::WatchCount), 0) << p;
}

TEST_F(UnitReadTest, ModelCodeAloneDoesNotFinish) {
    board.script = [](const Bytes& frame) {
        return FakeBoard::address(frame) == kUnitAddress + 3 ? Fault::NoReply : Fault::None;
    };
    board.memory[kUnitAddress + 0x10] = 9;
    connectBoard();
    engine->readUnits();
    timers.advance(10000);
    EXPECT_FALSE(observer.units.has_value());
    EXPECT_EQ(state.ModelCode, 9);
    EXPECT_EQ(observer.progress.back(), std::make_pair(75, 100));
}

TEST_F(UnitReadTest, ANewReadingReplacesTheRunningOne) {
    connectBoard();
    engine->readUnits();
    timers.advance(1500); // 4779, 11733 and 4780 watched
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
    EXPECT_FALSE(observer.units.has_value()); // the window shows "DONE" for a moment
    timers.advance(kUnitDoneDelayMs);
    ASSERT_TRUE(observer.units.has_value());
    EXPECT_EQ(observer.units->menuEffect, UnitMenuEffect::DisableMost);
    EXPECT_FALSE(observer.units->online);
    EXPECT_EQ(state.SlaveType1, 7);
    EXPECT_EQ(state.ModelCode, 5);
}

} // namespace
} // namespace vm::link::test

// FrmSconti, FrmScontiCh, FrmPromo and FrmProUni as a technician uses them: over a serial line to a simulated
// board, and offline.

#include "ScriptSupport.h"

namespace {
using namespace vm::test;

// Each value stored on the board together with its mirror: the happy-hour day chosen on the weekly page, two
// time bands, the single promotion key of an older model, the no-cup and the last key discount, and the
// on-time of unique product 2 (whose twin lies in another block than its neighbours').
TEST_F(Script, DiscountsPromotionsAndUniqueProductsReachTheBoardWithTheirMirrors) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun run = runScript("promo.vms",
                                     "connect\n"
                                     "open FrmPromo\n"
                                     "set FrmPromo iSwitchSliderX2 2\n" // Imposta: the happy hours
                                     "set FrmPromo Option1(2) 1\n"      // weekly
                                     "set FrmPromo iSwitchSliderX1 2\n" // Happy Hour 3
                                     "set FrmPromo Check2(7) 1\n"       // Sabato
                                     "set FrmPromo HScroll1(11) 21\n"   // Fine2 hours
                                     "set FrmPromo HScroll1(12) 45\n"   // Inizio2 minutes
                                     "set FrmPromo iSwitchSliderX2 1\n" // Utente: the promotion key
                                     "set FrmPromo HScroll1(27) 9\n"
                                     "set FrmPromo SwitchX5(2) 1\n"
                                     "set FrmPromo HScroll1(30) 150\n" // Freddo 2
                                     "open FrmSconti\n"
                                     "set FrmSconti HScroll1(50) -32668\n" // stored 100
                                     "expect FrmSconti Label1(50) 1.00\n"  // the board's two decimals
                                     "open FrmScontiCh\n"
                                     "set FrmScontiCh HScroll1(49) 1000\n"
                                     "open FrmProUni\n"
                                     "set FrmProUni HScroll2(5) 255\n"
                                     "expect FrmProUni Label2(5) 25.5\n"
                                     "settle\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    // parameter, its mirror, the value both must hold
    const int expected[][3] = {{1392, 6173, 7},   {1402, 6183, 21},    {1399, 6180, 45},
                               {1412, 6193, 9},   {1466, 6248, 254},   {1415, 6196, 150},
                               {8621, 8672, 100}, {8722, 8772, 33768}, {1448, 6270, 255}};
    expectOnBoard(sim.device(), expected);
}

// From model 4 on each key has its own values: choosing a key writes nothing and shows that key's values,
// so a value of the key shown before never lands in the next one; "Freddo 2" keeps the other byte of its
// cell; the preselection window's key moves the promotion key along.
TEST_F(Script, PromotionKeysOfALaterModelAreChosenWithoutWriting) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun prepare =
        runCli({"--port", sim.device(), "set", "11733=4", "1565=300", "1501=7", "1502=3"});
    ASSERT_EQ(prepare.exitCode, 0) << describe(prepare);
    const ProgramRun run = runScript("promo-keys.vms",
                                     "connect\n"
                                     "open FrmPromo\n"
                                     "set FrmPromo iSwitchSliderX2 1\n"
                                     "set FrmPromo HScroll1(27) 12\n"
                                     "expect FrmPromo HScroll1(28) 7\n"
                                     "set FrmPromo SwitchX5(2) 1\n"
                                     "set FrmPromo HScroll1(30) 150\n"
                                     "set FrmPromo HScroll1(28) 20\n"
                                     "set FrmPromo HScroll1(27) 13\n"
                                     "expect FrmPromo HScroll1(28) 3\n"
                                     "expect FrmPromo SwitchX5(2) 0\n"
                                     "open FrmPresel\n"
                                     "set FrmPresel HScroll3 13\n" // its key 13 is the promotions' key 12
                                     "expect FrmPromo HScroll1(27) 12\n"
                                     "expect FrmPromo HScroll1(28) 20\n"
                                     "set FrmPromo SwitchX5(2) 0\n"
                                     "settle\n"
                                     "set FrmPromo HScroll1(29) 5\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    const QStringList refused = reports(run, "promo-keys.vms");
    ASSERT_EQ(refused.size(), 1) << describe(run);
    EXPECT_TRUE(refused[0].contains(":18: HScroll1(29) of FrmPromo is disabled")) << refused[0].toStdString();
    // 1412 (the older models' promotion key) and key 13's cells stay untouched.
    const auto board = boardValues(sim.device(), {1412, 1469, 6251, 1501, 1565, 6347, 1470, 1502, 1566});
    const std::pair<int, int> expected[] = {{1412, 0},   {1469, 0}, {6251, 0}, {1501, 20}, {1565, 256 + 150},
                                            {6347, 406}, {1470, 0}, {1502, 3}, {1566, 0}};
    for (const auto& [index, value] : expected)
        EXPECT_EQ(board.at(index), QString::number(value)) << index;
}

// Offline the pages follow the promotion mode and the happy-hour type: only the rule in use can be edited.
TEST_F(Script, PromotionPagesFollowTheModeOffline) {
    const ProgramRun run = runScript("promo-offline.vms",
                                     "menu SmuNew\n"
                                     "set FrmConfSLAVE Combo1 0\n" // a drink unit first
                                     "click FrmConfSLAVE Command1\n"
                                     "open FrmProUni\n" // beside the other product settings
                                     "open FrmPromo\n"
                                     "set FrmPromo iSwitchSliderX2 2\n"
                                     "set FrmPromo Option1(3) 1\n" // monthly
                                     "set FrmPromo iSwitchSliderX1 4\n"
                                     "set FrmPromo HScroll1(4) 28\n"
                                     "expect FrmPromo Label1(4) 28\n"
                                     "set FrmPromo Check2(1) 1\n");
    const QStringList refused = reports(run, "promo-offline.vms");
    ASSERT_EQ(refused.size(), 1) << describe(run);
    EXPECT_TRUE(refused[0].contains(
        ":11: Check2(1) of FrmPromo is on the page \"Happy Hour Settimanale\", which is not enabled"))
        << refused[0].toStdString();
}

} // namespace

// FrmPagamento, FrmValSoldi and FrmPrezzi as a technician uses them: offline, and over a serial line to a
// simulated board.

#include "ScriptSupport.h"

namespace {
using namespace vm::test;

// Offline: a price and a token follow the decimal point chosen in the payment window; the options each
// payment system offers, and the price-table sliders only with the price table on.
TEST_F(Script, DecimalPointAndPaymentSystemRulesOffline) {
    const ProgramRun run = runScript("pay-offline.vms",
                                     "menu SmuNew\n"
                                     "set FrmConfSLAVE Combo1 0\n"
                                     "click FrmConfSLAVE Command1\n"
                                     "open FrmPrezzi\n"
                                     "set FrmPrezzi HScroll1(0) -32618\n" // 150
                                     "open FrmValSoldi\n"
                                     "set FrmValSoldi HScroll1(3) -32763\n" // 5
                                     "open FrmPagamento\n"
                                     "set FrmPagamento SlswitchX5 4\n"
                                     "set FrmPagamento HScroll6(1) -32718\n" // 50
                                     "set FrmPagamento SlswitchX5 0\n"
                                     "set FrmPagamento SlswitchX2 2\n"
                                     "expect FrmPrezzi Label1(0) 1.50\n"
                                     "expect FrmValSoldi Label1(3) 0.05\n"
                                     "expect FrmPagamento Label6s(1) 0.50\n"
                                     "set FrmPagamento SlswitchX2 0\n"
                                     "expect FrmPrezzi Label1(0) 150\n"
                                     "set FrmPagamento SlswitchX2 3\n"
                                     "expect FrmPrezzi Label1(0) 0.150\n"
                                     "expect FrmValSoldi Label1(3) 0.005\n"
                                     "set FrmPagamento SwitchX1(1) 1\n" // Multivendita: parallel
                                     "set FrmPagamento SlswitchX5 3\n"
                                     "set FrmPagamento scrTP 35\n"
                                     "expect FrmPagamento Label8v 3.5\n"
                                     "set FrmPagamento SwitchX1(9) 1\n"
                                     "set FrmPagamento iSwitchSliderX1(0) 1\n"
                                     "set FrmPagamento SwitchX1(9) 0\n"
                                     "set FrmPagamento iSwitchSliderX1(1) 1\n");
    const QStringList refused = reports(run, "pay-offline.vms");
    ASSERT_EQ(refused.size(), 1) << describe(run);
    EXPECT_TRUE(refused[0].contains(":28: iSwitchSliderX1(1) of FrmPagamento is disabled"))
        << refused[0].toStdString();

    // The decimal point and the timeout of the credit belong to the parallel system only.
    const ProgramRun mdb = runScript("pay-mdb.vms",
                                     "menu SmuNew\n"
                                     "set FrmConfSLAVE Combo1 0\n"
                                     "click FrmConfSLAVE Command1\n"
                                     "open FrmPagamento\n"
                                     "set FrmPagamento SlswitchX5 1\n"
                                     "set FrmPagamento SwitchX1(4) 1\n" // Resto Subito
                                     "set FrmPagamento SlswitchX2 1\n");
    const QStringList locked = reports(mdb, "pay-mdb.vms");
    ASSERT_EQ(locked.size(), 1) << describe(mdb);
    EXPECT_TRUE(locked[0].contains(":7: SlswitchX2 of FrmPagamento is disabled")) << locked[0].toStdString();
}

// The decimal point is the low two bits of its byte: a board that keeps more there shows d all the same.
TEST_F(Script, DecimalPointShowsTheLowTwoBits) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun set = runCli({"--port", sim.device(), "set", "1823=6"});
    ASSERT_EQ(set.exitCode, 0) << describe(set);
    const ProgramRun run = runScript("decimal-bits.vms",
                                     "connect\n"
                                     "open FrmPagamento\n"
                                     "expect FrmPagamento SlswitchX2 2\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    EXPECT_EQ(run.exitCode, 0) << describe(run);
}

// Connected: limits over the full word range, the two inverted option bits, a tube switch, a token, channel
// enables and values, and prices reach the board with their mirrors; the price window's "everything at price
// 1" keeps the other bits of its byte, and a price follows the decimal point.
TEST_F(Script, PaymentAndPricesReachTheBoardWithTheirMirrors) {
    SimProcess sim;
    ASSERT_FALSE(sim.device().isEmpty()) << sim.startError().toStdString();
    const ProgramRun run = runScript("pay-live.vms",
                                     "connect\n"
                                     "open FrmPrezzi\n"
                                     "set FrmPrezzi HScroll1(49) -32518\n" // 250
                                     "open FrmPagamento\n"
                                     "set FrmPagamento SlswitchX5 0\n"
                                     "set FrmPagamento SlswitchX2 2\n"
                                     "settle\n"
                                     "expect FrmPrezzi Label1(49) 2.50\n"
                                     "set FrmPagamento SlswitchX5 4\n"
                                     "set FrmPagamento HScroll11(0) 9999\n"
                                     "set FrmPagamento HScroll11(3) -32768\n"
                                     "set FrmPagamento HScroll11(2) 32767\n"
                                     "set FrmPagamento SwitchX1(11) 0\n" // Ricarica Chiave: inverted
                                     "set FrmPagamento SwitchX1(1) 1\n"
                                     "set FrmPagamento SwitchX1(10) 0\n" // Banconota per Ricarica: inverted
                                     "set FrmPagamento SwitchX1(3) 1\n"
                                     "set FrmPagamento SwitchX10(2) 1\n"
                                     "set FrmPagamento HScroll6(1) -32668\n" // Token2: 100
                                     "open FrmValSoldi\n"
                                     "set FrmValSoldi SwitchX2(15) 1\n"
                                     "set FrmValSoldi HScroll1(0) -32763\n" // 5
                                     "open FrmConf\n"
                                     "set FrmConf iSwitchToggleX2(5) 1\n" // 1855 bit 1
                                     "settle\n"
                                     "set FrmPrezzi SwitchX5(0) 1\n"
                                     "settle\n"
                                     "quit\n",
                                     {"--port", sim.device()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    // parameter, its mirror, the value both must hold
    const int expected[][3] = {{8520, 8570, 250},  {1823, 6605, 2},        {1820, 6602, 4},
                               {1827, 6609, 9999}, {1828, 6610, 0},        {1829, 6611, 65535},
                               {1825, 6607, 0x42}, {1830, 6612, 0x81},     {13313, 13314, 0x04},
                               {1842, 6624, 100},  {12504, 12538, 0x8000}, {12505, 12539, 5},
                               {1855, 6638, 0x03}};
    expectOnBoard(sim.device(), expected);
}

} // namespace

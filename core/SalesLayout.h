#pragma once
// Where the board keeps its sales data: the vend counters of the four counter blocks, the jug counters, the
// price assignments of sectors and jug beverages, coins and banknotes, and the set of every audit value. The
// sales views, the price editors and the audit reports all address the parameters through these.

#include <vector>

namespace vm::sales {

inline constexpr int kDecimalPoint = 1823;
inline constexpr int kModelCode = 11733;

// Totals: not resettable at even offsets from kTotals, resettable at odd ones (hot, snack, all, discount,
// overpay, vend count).
inline constexpr int kTotals = 11430;
inline constexpr int kTotalAll = 11434, kTotalAllReset = 11435;
inline constexpr int kVendCount = 11440, kVendCountReset = 11441;
inline constexpr int kFreeVendTotal = 11448, kFreeVendTotalReset = 11449;
inline constexpr int kTestVendTotal = 11450, kTestVendTotalReset = 11451;
inline constexpr int kJugTotals = 11921; // vends, free vends, test vends; each not resettable, then resettable

// MDB audit values, 11467 + i.
inline constexpr int kMdbTubesAmount = 11467, kMdbCashBoxCoins = 11478, kMdbBanknotesAmount = 11479;

inline constexpr int kChannels = 16;
inline constexpr int kCoinCount = 1786, kBanknoteCount = 1803; // + channel 0..15
inline constexpr int kCoinValue = 12505, kBanknoteValue = 12521;

inline constexpr int kAlarmNewest = 11815, kAlarmFirst = 11816, kAlarmRecords = 15, kAlarmFields = 7;

inline constexpr int kBlocks = 4;       // counter block k counts unit ("Slave") k + 1
inline constexpr int kSectors = 70;     // counters 0..69 of a block: sectors 10..79
inline constexpr int kFirstSector = 10; // sector of counter 0
inline constexpr int kJugBeverages = 32;
inline constexpr int kJugCountedSlaves = 2; // only slaves 1 and 2 have jug test and free counters
inline constexpr int kPrices = 50;

enum class Vends { Paid = 0, Free = 1, Test = 2 };

// The counters of block k: 70 for blocks 0..2, 56 for block 3. The third range has room for three blocks of
// 14 per kind: the addresses after it belong to the next kind's counters.
int SectorCount(int block);
// Counter i (0..SectorCount(k) - 1) of block k (0..3): 48 in a first range, 8 in a second, 14 in a third;
// 0 for any other.
int VendCounter(Vends kind, int block, int i);
// Jug vends of beverage b (0..31) counted in block k.
int JugVendCounter(int block, int beverage);
// Jug test and free vends of beverage b (0..31) of slave 1 or 2; 0 for other slaves.
int JugTestCounter(int slave, int beverage);
int JugFreeCounter(int slave, int beverage);

// Price element `element` of slave 1..4 (70 for slaves 1 to 3, 56 for slave 4): the parameter holding the
// number of the price (0 none, 1..50) the sector sells at; 0 when the slave has no such element.
int PriceElementCount(int slave);
int PriceElementParam(int slave, int element);
// The sector an element stands for: 10..79 for slaves 1 to 3; 11..18, 21..28 ... 71..78 for slave 4.
int PriceElementSector(int slave, int element);
// The price element of `sector` on slave 1..4, or -1.
int PriceElementOfSector(int slave, int sector);
// The price number parameter of jug beverage b (0..31) of slave 1..4.
int JugPriceParam(int slave, int beverage);
// Price n (1..50) of the price list; 0 out of range.
int PriceParam(int n);

// Every sales and audit counter and the alarm log, the decimal point first (what `vmconfig-cli audit` reads).
std::vector<int> AuditParams();

} // namespace vm::sales

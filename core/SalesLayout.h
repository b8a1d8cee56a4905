#pragma once
// Where the board keeps its sales data: the vend counters of the four counter blocks, the jug counters, the
// price assignments of sectors and jug beverages, coins and banknotes, and the set of every audit value. The
// sales views, the price editors and the audit reports all address the parameters through these.

#include "ParamNames.h"

#include <vector>

namespace vm::sales {

inline constexpr int kDecimalPoint = param::DecimalPoint;
inline constexpr int kModelCode = param::MachineModel;

// Totals: not resettable at even offsets from kTotals, resettable at odd ones (hot, snack, all, discount,
// overpay, vend count).
inline constexpr int kTotals = param::Totals;
inline constexpr int kTotalAll = kTotals + 4, kTotalAllReset = kTotals + 5;
inline constexpr int kVendCount = kTotals + 10, kVendCountReset = kTotals + 11;
inline constexpr int kFreeVendTotal = param::FreeVendTotal, kFreeVendTotalReset = param::FreeVendTotal + 1;
inline constexpr int kTestVendTotal = param::TestVendTotal, kTestVendTotalReset = param::TestVendTotal + 1;
// Jug totals: vends, free vends, test vends; each not resettable, then resettable.
inline constexpr int kJugTotals = param::JugTotals;

// MDB audit values, MdbAudit + i.
inline constexpr int kMdbTubesAmount = param::MdbAudit, kMdbCashBoxCoins = param::MdbAudit + 11,
                     kMdbBanknotesAmount = param::MdbAudit + 12;

inline constexpr int kChannels = 16;
inline constexpr int kCoinCount = param::CoinCount, kBanknoteCount = param::BanknoteCount; // + channel 0..15
inline constexpr int kCoinValue = param::CoinValue, kBanknoteValue = param::BanknoteValue;

inline constexpr int kAlarmNewest = param::AlarmNewest, kAlarmFirst = param::AlarmRecords, kAlarmRecords = 15,
                     kAlarmFields = 7;

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

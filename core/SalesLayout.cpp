#include "SalesLayout.h"

namespace vm::sales {

namespace {
constexpr int kFirstRange = 48, kSecondRange = 8; // then 14 in the third
// Each block holds 176 counters in the first range: 48 paid, 48 free, 48 test vends, then 32 jug counters.
constexpr int kBlockStride = 176;
constexpr int kJugFirst = param::JugVendCount;
constexpr int kJugTestFirst = param::JugTestCount, kJugFreeFirst = param::JugFreeCount;

// A slave's price elements lie in four ranges of the map: 0..31, 32..47 (the jug price block), 48..55, 56..69.
constexpr int kPriceRange1[4] = {param::SectorPrice, param::SectorPrice + 32, param::SectorPrice + 64,
                                 param::SectorPrice + 96};
constexpr int kPriceRange2[4] = {param::JugPrice, param::JugPrice + 32, param::JugPrice + 64,
                                 param::JugPrice + 96};
constexpr int kPriceRange3[4] = {param::SectorPriceSlave1Element49, param::SectorPriceSlave2Element49,
                                 param::SectorPriceSlave3Element49, param::SectorPriceSlave4Element49};
constexpr int kPriceRange4[4] = {param::SectorPriceElement57, param::SectorPriceElement57 + 14,
                                 param::SectorPriceElement57 + 28, 0};
constexpr int kFirstPrice = param::Price;
} // namespace

int SectorCount(int block) {
    constexpr int kThirdRangeBlocks = 3;
    return block < kThirdRangeBlocks ? kSectors : kFirstRange + kSecondRange;
}

int VendCounter(Vends kind, int block, int i) {
    const int w = static_cast<int>(kind);
    if (block < 0 || block >= kBlocks || i < 0 || i >= SectorCount(block)) return 0;
    if (i < kFirstRange) return param::PaidVendCount + kFirstRange * w + kBlockStride * block + i;
    if (i < kFirstRange + kSecondRange)
        return param::PaidVendCountSector49 + 32 * w + 8 * block + (i - kFirstRange);
    return param::PaidVendCountSector57 + 42 * w + 14 * block + (i - kFirstRange - kSecondRange);
}

int JugVendCounter(int block, int beverage) {
    if (block < 0 || block >= kBlocks || beverage < 0 || beverage >= kJugBeverages) return 0;
    return kJugFirst + kBlockStride * block + beverage;
}

int JugTestCounter(int slave, int beverage) {
    if (slave < 1 || slave > kJugCountedSlaves || beverage < 0 || beverage >= kJugBeverages) return 0;
    return kJugTestFirst + kJugBeverages * (slave - 1) + beverage;
}

int JugFreeCounter(int slave, int beverage) {
    if (slave < 1 || slave > kJugCountedSlaves || beverage < 0 || beverage >= kJugBeverages) return 0;
    return kJugFreeFirst + kJugBeverages * (slave - 1) + beverage;
}

int PriceElementCount(int slave) {
    return slave == 4 ? 56 : kSectors;
}

int PriceElementParam(int slave, int element) {
    if (slave < 1 || slave > 4 || element < 0 || element >= PriceElementCount(slave)) return 0;
    const int s = slave - 1;
    if (element < 32) return kPriceRange1[s] + element;
    if (element < 48) return kPriceRange2[s] + element - 32;
    if (element < 56) return kPriceRange3[s] + element - 48;
    return kPriceRange4[s] + element - 56;
}

int PriceElementSector(int slave, int element) {
    if (slave == 4) return (element / 8 + 1) * 10 + element % 8 + 1;
    return kFirstSector + element;
}

int PriceElementOfSector(int slave, int sector) {
    for (int e = 0; e < PriceElementCount(slave); ++e)
        if (PriceElementSector(slave, e) == sector) return e;
    return -1;
}

int JugPriceParam(int slave, int beverage) {
    if (slave < 1 || slave > 4 || beverage < 0 || beverage >= kJugBeverages) return 0;
    return kPriceRange2[slave - 1] + beverage;
}

int PriceParam(int n) {
    return n >= 1 && n <= kPrices ? kFirstPrice + n - 1 : 0;
}

std::vector<int> AuditParams() {
    std::vector<int> indexes = {kDecimalPoint};
    const auto range = [&](int first, int last) {
        for (int i = first; i <= last; ++i)
            indexes.push_back(i);
    };
    range(kTotals, kTestVendTotalReset);                   // money totals, vend totals
    range(kCoinCount, kCoinCount + kChannels - 1);         // coins
    range(kBanknoteCount, kBanknoteCount + kChannels - 1); // banknotes
    // four blocks of paid, free, test and jug vends, then the second and the third range of vend counters
    range(param::PaidVendCount, kJugFirst + kBlockStride * (kBlocks - 1) + kJugBeverages - 1);
    range(param::PaidVendCountSector49,
          param::PaidVendCountSector49 + param::PaidVendCountSector49Count * 3 - 1);
    range(param::PaidVendCountSector57,
          param::PaidVendCountSector57 + param::PaidVendCountSector57Count * 3 - 1);
    range(kJugTotals, param::JugFreeCount + param::JugFreeCountCount - 1); // jug totals and jug counters
    range(kMdbTubesAmount, param::MdbAudit + param::MdbAuditCount - 1);    // MDB audit
    range(kAlarmNewest, kAlarmFirst + kAlarmRecords * kAlarmFields - 1); // newest record, seven fields each
    return indexes;
}

} // namespace vm::sales

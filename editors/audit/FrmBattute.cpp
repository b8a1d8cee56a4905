#include "FrmBattute.h"

#include <QGroupBox>

namespace vm::editors {

struct VendWindow {
    const char* form;
    const char* title;
    int window;     // offset of the window's counters in each range
    int firstTotal; // the window's general counters
    int totals;
};

namespace {
constexpr VendWindow kPaid{"FrmBattute", "Dati per vendite parziali - BATTUTE", 0, 11442, 6};
constexpr VendWindow kFree{"FrmGratis", "Dati per vendite parziali - GRATIS", 1, 11448, 2};
constexpr VendWindow kTest{"FrmProva", "Dati per vendite parziali - PROVA", 2, 11450, 2};

constexpr int kFirstRange = 48, kSecondRange = 8; // then 14 in the third
constexpr int kFirstSector = 10;
// The third range has room for three blocks of 14 per window: the fourth block has no third range (the
// addresses after it belong to the next window's counters).
constexpr int kThirdRangeBlocks = 3;

QString blockLabels(int block) {
    return QStringLiteral("Label%1").arg(4 + block);
}
} // namespace

// Each block holds 48 counters per window in the first range (paid, free, test, then 32 jug counters), 8 in
// the second and 14 in the third (blocks 0..2 only).
int VendCountView::sectorCount(int block) {
    return block < kThirdRangeBlocks ? kSectors : kFirstRange + kSecondRange;
}

int VendCountView::counterParam(int window, int block, int i) {
    if (i < kFirstRange) return 8773 + 48 * window + 176 * block + i;
    if (i < kFirstRange + kSecondRange) return 13211 + 32 * window + 8 * block + (i - kFirstRange);
    return 13766 + 42 * window + 14 * block + (i - kFirstRange - kSecondRange);
}

// The pages follow the board's numbering of the coupled units: block k counts unit k + 1 ("Slave k+1"), as the
// jug counters of block 1 belong to slave 1. Only the page in front is read, so a page shows its values soon.
VendCountView::VendCountView(EditorContext& ctx, QWidget* parent, const VendWindow& w)
    : AuditView(ctx, parent), window_(w.window) {
    EditorDefinition d(QString::fromLatin1(w.form), Caption(w.title));
    d.extraWatch.assign(std::begin(kCouplingParams), std::end(kCouplingParams));
    d.watchVisibleTab = true;
    auto general = d.page(Caption("Generale"));
    auto totals = general.frame(QStringLiteral("Frame1"), Caption("Totali"), 2);
    for (int i = 0; i < w.totals; ++i)
        totals.add(valueText("Label2", i, w.firstTotal + i).titled(Caption(QStringLiteral("Totale %1").arg(i + 1))));
    auto beverages = general.frame(QStringLiteral("Frame2"), Caption("Bevande"), 4);
    for (int i = 0; i < kBeverages; ++i)
        beverages.add(valueText("Label3", i, counterParam(w.window, 0, i))
                          .titled(Caption(QStringLiteral("Bev %1").arg(i + 1))));
    for (int block = 0; block < kBlocks; ++block) {
        auto unit = d.page(Caption(QStringLiteral("Slave %1").arg(block + 1)), 5);
        for (int i = 0; i < sectorCount(block); ++i)
            unit.add(valueText(blockLabels(block), i, counterParam(w.window, block, i))
                         .titled(Caption(QStringLiteral("Set. %1").arg(kFirstSector + i))));
    }
    setupView(std::move(d));
}

void VendCountView::buildView() {
    QStringList beverages, sectors;
    for (int i = 0; i < kBeverages; ++i)
        beverages << QString::number(i + 1);
    for (int i = 0; i < kSectors; ++i)
        sectors << QString::number(kFirstSector + i);
    CounterChart* chart = CounterChart::besideRows(frame(QStringLiteral("Frame2")), QStringLiteral("Bev"), beverages);
    chart->setObjectName(QStringLiteral("Chart_0"));
    for (int i = 0; i < kBeverages; ++i)
        bars_.add(counterParam(window_, 0, i), chart, i);
    for (int block = 0; block < kBlocks; ++block) {
        chart = CounterChart::besideRows(page(block + 1), QStringLiteral("Slave %1").arg(block + 1),
                                         sectors.mid(0, sectorCount(block)));
        chart->setObjectName(QStringLiteral("Chart_%1").arg(block + 1));
        for (int i = 0; i < sectorCount(block); ++i)
            bars_.add(counterParam(window_, block, i), chart, i);
    }
}

FrmBattute::FrmBattute(EditorContext& ctx, QWidget* parent) : VendCountView(ctx, parent, kPaid) {}
FrmGratis::FrmGratis(EditorContext& ctx, QWidget* parent) : VendCountView(ctx, parent, kFree) {}
FrmProva::FrmProva(EditorContext& ctx, QWidget* parent) : VendCountView(ctx, parent, kTest) {}

} // namespace vm::editors

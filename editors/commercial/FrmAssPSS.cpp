#include "FrmAssPSS.h"

#include <QLabel>
#include <QScrollBar>

namespace vm::editors {

namespace {
constexpr int kElements = 70;
constexpr int kElementsSlave4 = 56;
constexpr int kFirstSubPage = 60; // elements 0..59 on the first sub-page (slave 4: 48)
constexpr int kMaxPrice = 50;

// Each slave's elements lie in four ranges of the map: 0..31, 32..47 (the jug price block), 48..55, 56..69.
constexpr int kRange1[4] = {7890, 7922, 7954, 7986};
constexpr int kRange2[4] = {8151, 8183, 8215, 8247};
constexpr int kRange3[4] = {12955, 12971, 12987, 13003};
constexpr int kRange4[4] = {13892, 13906, 13920, 0};

QString scrollName(int slave) {
    return QStringLiteral("HScroll%1").arg(slave);
}
} // namespace

int FrmAssPSS::elementCount(int slave) {
    return slave == 4 ? kElementsSlave4 : kElements;
}

int FrmAssPSS::elementParam(int slave, int element) {
    if (slave < 1 || slave > 4 || element < 0 || element >= elementCount(slave)) return 0;
    const int s = slave - 1;
    if (element < 32) return kRange1[s] + element;
    if (element < 48) return kRange2[s] + element - 32;
    if (element < 56) return kRange3[s] + element - 48;
    return kRange4[s] + element - 56;
}

int FrmAssPSS::sectorNumber(int slave, int element) {
    if (slave == 4) return (element / 8 + 1) * 10 + element % 8 + 1;
    return 10 + element;
}

FrmAssPSS::FrmAssPSS(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmAssPSS"), Caption("Associazione Prezzi"));
    d.watchVisibleTab = true; // 70 sectors a page: the link polls the shown slave only
    for (int slave = 1; slave <= 4; ++slave) {
        auto page = d.page(Caption(QStringLiteral("Slave %1").arg(slave)));
        const bool four = slave == 4;
        const int split = four ? 48 : kFirstSubPage;
        auto first = page.frame(QStringLiteral("Frame%1_0").arg(slave),
                                Caption(four ? "Sector 11-68" : "Sector 10-69"), 3);
        auto second = page.frame(QStringLiteral("Frame%1_1").arg(slave),
                                 Caption(four ? "Sector 71-78" : "Sector 70-79"), 3);
        for (int i = 0; i < elementCount(slave); ++i)
            (i < split ? first : second)
                .add(scrollBar(scrollName(slave), i, elementParam(slave, i))
                         .range(0, kMaxPrice)
                         .step(3)
                         .valueLabel(QStringLiteral("Label%1").arg(slave), i)
                         .titled(Caption(QStringLiteral("Prezzo set. %1").arg(sectorNumber(slave, i)))));
    }
    setup(std::move(d));
}

// A sector without a price shows "None" instead of 0.
void FrmAssPSS::rulesApplied() {
    for (int slave = 1; slave <= 4; ++slave)
        for (int i = 0; i < elementCount(slave); ++i) {
            auto* bar = qobject_cast<QScrollBar*>(control(scrollName(slave), i));
            QLabel* label = valueLabel(scrollName(slave), i);
            if (bar && label && bar->value() == 0 && !label->text().isEmpty())
                label->setText(QStringLiteral("None"));
        }
}

} // namespace vm::editors

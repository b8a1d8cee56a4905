#include "FrmAssPSS.h"

#include "SalesLayout.h"

#include <QLabel>
#include <QScrollBar>

namespace vm::editors {

namespace {
constexpr int kFirstSubPage = 60; // elements 0..59 on the first sub-page (slave 4: 48)

QString scrollName(int slave) {
    return QStringLiteral("HScroll%1").arg(slave);
}
} // namespace

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
        for (int i = 0; i < sales::PriceElementCount(slave); ++i)
            (i < split ? first : second)
                .add(scrollBar(scrollName(slave), i, sales::PriceElementParam(slave, i))
                         .range(0, sales::kPrices)
                         .step(3)
                         .valueLabel(QStringLiteral("Label%1").arg(slave), i)
                         .titled(Caption(QStringLiteral("Prezzo set. %1").arg(sales::PriceElementSector(slave, i)))));
    }
    setup(std::move(d));
}

// A sector without a price shows "None" instead of 0.
void FrmAssPSS::rulesApplied() {
    for (int slave = 1; slave <= 4; ++slave)
        for (int i = 0; i < sales::PriceElementCount(slave); ++i) {
            auto* bar = qobject_cast<QScrollBar*>(control(scrollName(slave), i));
            QLabel* label = valueLabel(scrollName(slave), i);
            if (bar && label && bar->value() == 0 && !label->text().isEmpty())
                label->setText(QStringLiteral("None"));
        }
}

} // namespace vm::editors

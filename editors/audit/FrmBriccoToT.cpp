#include "FrmBriccoToT.h"

#include "ParamNames.h"

namespace vm::editors {

namespace {
constexpr int kFirstTotal = param::JugTotals; // not resettable at even offsets, resettable at odd ones
const char* const kTotals[] = {"Battute Bricco", "Battute Gratis Bricco", "Battute Prova Bricco"};
} // namespace

FrmBriccoToT::FrmBriccoToT(EditorContext& ctx, QWidget* parent) : AuditView(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmBriccoToT"), Caption("Totali Bricco"));
    d.extraWatch.assign(std::begin(kCouplingParams), std::end(kCouplingParams));
    auto fixed = d.window().frame(QStringLiteral("Frame1"), Caption("Non Azzerabili"));
    auto resettable = d.window().frame(QStringLiteral("Frame2"), Caption("Azzerabili"));
    for (int row = 0; row < 3; ++row) {
        fixed.add(valueText("Label1", 2 * row, kFirstTotal + 2 * row).titled(Caption(kTotals[row])));
        resettable.add(valueText("Label1", 2 * row + 1, kFirstTotal + 2 * row + 1).titled(Caption(kTotals[row])));
    }
    setupView(std::move(d));
}

JugBeverageView::JugBeverageView(EditorContext& ctx, QWidget* parent, const char* form, const char* title, int first)
    : AuditView(ctx, parent), first_(first) {
    EditorDefinition d(QString::fromLatin1(form), Caption(title));
    d.extraWatch.assign(std::begin(kCouplingParams), std::end(kCouplingParams));
    for (int slave = 0; slave < kSlaves; ++slave) {
        auto page = d.page(Caption(QStringLiteral("Slave %1").arg(slave + 1)), 4);
        for (int i = 0; i < kBeverages; ++i)
            page.add(valueText(QStringLiteral("Label%1").arg(slave + 1), i, first + kBeverages * slave + i)
                         .titled(Caption(QStringLiteral("Bev. %1").arg(i + 1))));
    }
    setupView(std::move(d));
}

void JugBeverageView::buildView() {
    QStringList beverages;
    for (int i = 0; i < kBeverages; ++i)
        beverages << QString::number(i + 1);
    for (int slave = 0; slave < kSlaves; ++slave) {
        auto* chart = CounterChart::besideRows(page(slave), QStringLiteral("Slave %1").arg(slave + 1), beverages);
        chart->setObjectName(QStringLiteral("Chart_%1").arg(slave));
        for (int i = 0; i < kBeverages; ++i)
            bars_.add(first_ + kBeverages * slave + i, chart, i);
    }
}

FrmBriccoProve::FrmBriccoProve(EditorContext& ctx, QWidget* parent)
    : JugBeverageView(ctx, parent, "FrmBriccoProve", "Prove-Bricco", param::JugTestCount) {}
FrmBriccoGratis::FrmBriccoGratis(EditorContext& ctx, QWidget* parent)
    : JugBeverageView(ctx, parent, "FrmBriccoGratis", "Bricco-Gratis", param::JugFreeCount) {}

} // namespace vm::editors

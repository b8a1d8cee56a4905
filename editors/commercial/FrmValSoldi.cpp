#include "FrmValSoldi.h"

#include "ParamNames.h"

namespace vm::editors {

namespace {
constexpr int kChannels = 16;

// One page of channels: per channel its enable bit in the mask word, then its value.
void addChannels(EditorDefinition::Place page, const char* switches, int mask, const char* scrolls,
                 const char* labels, int firstValue, const char* name) {
    for (int i = 0; i < kChannels; ++i)
        page.add(toggleSwitch(switches, i, mask, kFromCatalogue, 1u << i)
                     .titled(Caption(QStringLiteral(" %1 %2").arg(QLatin1String(name)).arg(i + 1))))
            .add(scrollBar(scrolls, i, firstValue + i)
                     .offsetScroll()
                     .step(10)
                     .money()
                     .valueLabel(labels, i)
                     .titled(Caption(" ")));
}
} // namespace

FrmValSoldi::FrmValSoldi(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmValSoldi"), Caption("Valori Monete&Banconote"));
    d.decimalPointParam = param::DecimalPoint;
    d.decimalPointTwin = param::DecimalPointTwin;
    addChannels(d.page(Caption("Monete"), 4), "SwitchX1", param::CoinEnables, "HScroll1", "Label1",
                param::CoinValue, "Moneta");
    addChannels(d.page(Caption("Banconote"), 4), "SwitchX2", param::BanknoteEnables, "HScroll2", "Label2",
                param::BanknoteValue, "Banconota");
    setup(std::move(d));
}

} // namespace vm::editors

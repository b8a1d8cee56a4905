#include "FrmPrezzi.h"

#include "ParamNames.h"

namespace vm::editors {

namespace {
constexpr int kPrices = param::PriceCount, kColumn = 10;

// Connected, the prices can be changed once the board has sent every one of them.
bool allPricesKnown(const EditorBase& e) {
    if (!e.state().Online) return true;
    for (int i = 0; i < kPrices; ++i)
        if (!e.state().ParamIsValid(param::Price + i, 0)) return false;
    return true;
}
} // namespace

FrmPrezzi::FrmPrezzi(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmPrezzi"), Caption("Impostazione Prezzi"));
    d.decimalPointParam = param::DecimalPoint;
    d.decimalPointTwin = param::DecimalPointTwin;
    auto window = d.window();
    // The slider sits in a frame of its own, so the wide price grid below does not push it aside.
    window.frame(QStringLiteral("Frame2"), Caption("TUTTO A PREZZO 1"))
        .add(sliderSwitch("SwitchX5", 0, param::GeneralFlags, kFromCatalogue, {"No", "Si"}).bit(0x01));
    // Five columns of ten prices: the rows fill left to right, so row r holds prices r+1, r+11, ... r+41.
    auto prices = window.frame(QStringLiteral("Frame1"), Caption("Prezzi"), kPrices / kColumn);
    for (int row = 0; row < kColumn; ++row)
        for (int i = row; i < kPrices; i += kColumn)
            prices.add(scrollBar("HScroll1", i, param::Price + i)
                           .offsetScroll()
                           .step(100)
                           .money()
                           .valueLabel("Label1", i)
                           .captionLabel("Label11", i)
                           .enabledIf(allPricesKnown)
                           .titled(Caption(QStringLiteral("Prezzo %1").arg(i + 1))));
    setup(std::move(d));
}

} // namespace vm::editors

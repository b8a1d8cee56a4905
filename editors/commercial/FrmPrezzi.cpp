#include "FrmPrezzi.h"

namespace vm::editors {

namespace {
constexpr int kDecimalPoint = 1823, kDecimalPointTwin = 6605;
constexpr int kFlags = 1855;
constexpr int kFirstPrice = 8471, kPrices = 50, kColumn = 10;

// Connected, the prices can be changed once the board has sent every one of them.
bool allPricesKnown(const EditorBase& e) {
    if (!e.state().Online) return true;
    for (int i = 0; i < kPrices; ++i)
        if (!e.state().ParamIsValid(kFirstPrice + i, 0)) return false;
    return true;
}
} // namespace

FrmPrezzi::FrmPrezzi(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmPrezzi"), Caption("Impostazione Prezzi"));
    d.decimalPointParam = kDecimalPoint;
    d.decimalPointTwin = kDecimalPointTwin;
    auto window = d.window();
    window.add(sliderSwitch("SwitchX5", 0, kFlags, kFromCatalogue, {"No", "Si"})
                   .bit(0x01)
                   .titled(Caption("TUTTO A PREZZO 1")));
    // Five columns of ten prices.
    for (int column = 0; column < kPrices / kColumn; ++column) {
        const int first = column * kColumn;
        auto frame = window.frame(QStringLiteral("FramePrezzi%1").arg(column + 1), Caption(" "), 1);
        for (int i = first; i < first + kColumn; ++i)
            frame.add(scrollBar("HScroll1", i, kFirstPrice + i)
                          .offsetScroll()
                          .step(100)
                          .money()
                          .valueLabel("Label1", i)
                          .captionLabel("Label11", i)
                          .enabledIf(allPricesKnown)
                          .titled(Caption(QStringLiteral("Prezzo %1").arg(i + 1))));
    }
    setup(std::move(d));
}

} // namespace vm::editors

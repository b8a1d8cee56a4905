#include "FrmProUni.h"

#include "ParamNames.h"

namespace vm::editors {

namespace {
// First parameter of each unique product: the product box, two settings this window leaves alone, then the
// four times. The twins are the catalogue's (product 2's last two and product 3 lie in another twin block).
constexpr int kFirst[3] = {param::UniqueProduct1, param::UniqueProduct2, param::UniqueProduct3};
constexpr int kFirstTime = 3;
const char* const kTimeCaptions[] = {"Tempo Unico", "Ritardo Unico ", "Ton Unico", "Toff Unico"};
} // namespace

FrmProUni::FrmProUni(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmProUni"), Caption("Prodotti Unici"));
    std::vector<Caption> boxes;
    for (int box = 0; box <= 9; ++box)
        boxes.emplace_back(QString::number(box));
    for (int p = 0; p < 3; ++p) {
        auto page = d.page(Caption(QStringLiteral(" Prodotto Unico %1").arg(p + 1)));
        page.add(sliderSwitch(QStringLiteral("iSwSliderX%1").arg(p + 1), 0, kFirst[p], kFromCatalogue, boxes)
                     .titled(Caption("Prodotto Unico ")));
        const QString scroll = QStringLiteral("HScroll%1").arg(p + 1);
        for (int t = 0; t < 4; ++t)
            page.add(scrollBar(scroll, kFirstTime + t, kFirst[p] + kFirstTime + t)
                         .tenths()
                         .valueLabel(QStringLiteral("Label%1").arg(p + 1), kFirstTime + t)
                         .titled(Caption(kTimeCaptions[t])));
    }
    setup(std::move(d));
}

} // namespace vm::editors

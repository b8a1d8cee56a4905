#include "FrmTotali.h"

namespace vm::editors {

namespace {
constexpr int kFirstTotal = 11430; // not resettable at even offsets, resettable at odd ones
const char* const kRows[] = {" Totale caldo", " Totale snack", " Totale ", "Sconto", "Overpay", "Battute"};
constexpr int kFirstRowText = 266; // row r's caption is language line 266 + r, in both columns
constexpr int kRowCount = 6;
constexpr int kVendsRow = 5; // a count, not money
} // namespace

FrmTotali::FrmTotali(EditorContext& ctx, QWidget* parent) : AuditView(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmTotali"), Caption(272, "Totali"));
    d.decimalPointParam = kDecimalPoint;
    d.decimalPointTwin = kDecimalPointTwin;
    auto fixed = d.window().frame(QStringLiteral("Frame1"), Caption(264, "Importi Totali Non Azzerabili"));
    auto resettable = d.window().frame(QStringLiteral("Frame2"), Caption(265, "Importi Totali Azzerabili"));
    for (int row = 0; row < kRowCount; ++row)
        for (int column = 0; column < 2; ++column) {
            Binding b = valueText("Label3", row + kRowCount * column, kFirstTotal + 2 * row + column)
                            .titled(Caption(kFirstRowText + row, kRows[row]));
            if (row != kVendsRow) b.money();
            (column == 0 ? fixed : resettable).add(std::move(b));
        }
    setupView(std::move(d));
}

} // namespace vm::editors

#include "FrmSconti.h"

namespace vm::editors {

namespace {
constexpr int kDiscounts = 50;
constexpr int kGeneral = 8571;
constexpr int kNoCup = 8621;
constexpr int kKeyDiscounts = 8673;
constexpr int kDecimalPoint = 1823;
constexpr int kDecimalPointTwin = 6605; // the board delivers the decimal point under its twin

// Connected, the discounts can be moved only once all 50 and the decimal point have arrived, so that no
// amount is edited in the wrong decimals; the no-cup discount follows the 50.
Condition allDelivered(int first) {
    return [first](const EditorBase& e) {
        const ProgramState& s = e.state();
        if (!s.Online) return true;
        for (int i = first; i < first + kDiscounts; ++i)
            if (!s.ParamIsValid(i, 0)) return false;
        return s.ParamIsValid(kDecimalPoint, 0) || s.ParamIsValid(kDecimalPointTwin, 0);
    };
}

// A discount: a word stored as the scroll value + 32768, shown as money.
Binding discount(int controlIndex, int param, Caption caption, const Condition& ready) {
    return scrollBar("HScroll1", controlIndex, param)
        .offsetScroll()
        .money()
        .step(100)
        .valueLabel("Label1", controlIndex)
        .titled(std::move(caption))
        .enabledIf(ready);
}

EditorDefinition discountWindow(const char* form, const char* title, int first) {
    EditorDefinition d(QString::fromLatin1(form), Caption(title));
    d.columns = 3;
    d.decimalPointParam = kDecimalPoint;
    d.decimalPointTwin = kDecimalPointTwin;
    const Condition ready = allDelivered(first);
    for (int i = 0; i < kDiscounts; ++i)
        d.window().add(discount(i, first + i, Caption(QStringLiteral("Sconto %1").arg(i + 1)), ready));
    return d;
}
} // namespace

FrmSconti::FrmSconti(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d = discountWindow("FrmSconti", "Impostazione Sconti", kGeneral);
    d.window().add(discount(kDiscounts, kNoCup, Caption(" Sconto  NO BICCHIERE"), allDelivered(kGeneral)));
    setup(std::move(d));
}

FrmScontiCh::FrmScontiCh(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    setup(discountWindow("FrmScontiCh", "Impostazioni Sconti-Chiave", kKeyDiscounts));
}

} // namespace vm::editors

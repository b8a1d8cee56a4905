#include "FrmSconti.h"

#include "ParamNames.h"

namespace vm::editors {

namespace {

// Connected, the discounts can be moved only once all 50 and the decimal point have arrived, so that no
// amount is edited in the wrong decimals; the no-cup discount follows the 50.
Condition allDelivered(int first) {
    return [first](const EditorBase& e) {
        const ProgramState& s = e.state();
        if (!s.Online) return true;
        for (int i = first; i < first + param::DiscountCount; ++i)
            if (!s.ParamIsValid(i, 0)) return false;
        return s.ParamIsValid(param::DecimalPoint, 0) || s.ParamIsValid(param::DecimalPointTwin, 0);
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
    d.decimalPointParam = param::DecimalPoint;
    d.decimalPointTwin = param::DecimalPointTwin;
    const Condition ready = allDelivered(first);
    for (int i = 0; i < param::DiscountCount; ++i)
        d.window().add(discount(i, first + i, Caption(QStringLiteral("Sconto %1").arg(i + 1)), ready));
    return d;
}
} // namespace

FrmSconti::FrmSconti(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d = discountWindow("FrmSconti", "Impostazione Sconti", param::Discount);
    d.window().add(discount(param::DiscountCount, param::DiscountWithoutCup, Caption(" Sconto  NO BICCHIERE"),
                            allDelivered(param::Discount)));
    setup(std::move(d));
}

FrmScontiCh::FrmScontiCh(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    setup(discountWindow("FrmScontiCh", "Impostazioni Sconti-Chiave", param::KeyDiscount));
}

} // namespace vm::editors

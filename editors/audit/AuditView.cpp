#include "AuditView.h"

namespace vm::editors {

void AuditView::setupView(EditorDefinition d) {
    d.liveOnly = true;
    setup(std::move(d));
    // A value another open window keeps watched is valid already and is not read again at once: it is shown
    // from its cell (the decimal point above all, which the money labels need).
    if (!state().Online) return;
    for (int index : watchedParams())
        if (state().cell(index, 0).has(Valid)) deliver(index, state().cellData(index, 0));
}

void AuditView::buildExtra() {
    addExportButton(page(-1));
    // Released and watched again, so that the link reads the whole set anew.
    everyMs(kRewatchMs, [this] { rewatch(); });
    buildView();
}

void AuditView::afterDelivery(int index, const ParamData& value) {
    if (const double* number = std::get_if<double>(&value)) bars_.show(index, *number);
}

} // namespace vm::editors

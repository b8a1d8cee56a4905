#include "AuditView.h"

namespace vm::editors {

void AuditView::setupView(EditorDefinition d) {
    d.liveOnly = true;
    setup(std::move(d));
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

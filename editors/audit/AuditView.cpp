#include "AuditView.h"

#include "EvaDtsExport.h"

#include <QPushButton>

namespace vm::editors {

void AuditView::setupView(EditorDefinition d) {
    d.liveOnly = true;
    setup(std::move(d));
}

void AuditView::buildExtra() {
    addExportButton(page(-1));
    // The whole sales data as a report, whichever view it is asked from.
    addRow(page(-1), nullptr,
           addButton(QStringLiteral("cmdExportEva"), 0, Caption("Export EVA-DTS"), page(-1),
                     [this] { ExportEvaDts(context(), this); }));
    // Released and watched again, so that the link reads the whole set anew.
    everyMs(kRewatchMs, [this] { rewatch(); });
    buildView();
}

void AuditView::afterDelivery(int index, const ParamData& value) {
    if (const double* number = std::get_if<double>(&value)) bars_.show(index, *number);
}

} // namespace vm::editors

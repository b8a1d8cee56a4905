// The CSV export of the views: the value labels a window shows, as rows a spreadsheet opens.

#include "EditorBase.h"

#include "CsvFile.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace vm::editors {

QStringList EditorBase::shownHeader() {
    return {QStringLiteral("group"), QStringLiteral("item"), QStringLiteral("index"), QStringLiteral("value")};
}

// The labels of the page in front and of the window itself: the other pages are not read while hidden.
std::vector<QStringList> EditorBase::shownRows() const {
    std::vector<QStringList> rows;
    for (const BoundControl& bc : bound_) {
        const Binding& b = bc.binding;
        if (b.kind != ControlKind::ValueText) continue;
        if (tabs_ && b.tab >= 0 && b.tab != tabs_->currentIndex()) continue;
        QString group;
        if (const QGroupBox* box = b.frame.isEmpty() ? nullptr : frame(b.frame))
            group = box->title();
        else if (tabs_ && b.tab >= 0)
            group = tabs_->tabText(b.tab);
        const QString item = bc.caption ? bc.caption->text().trimmed() : controlKey(b.control, b.controlIndex);
        rows.push_back({group.trimmed(), item, QString::number(bc.param), static_cast<QLabel*>(bc.widget)->text()});
    }
    return rows;
}

bool EditorBase::exportCsv(const QStringList& header, const std::vector<QStringList>& rows, const QString& suggested) {
    const QString path = chooseFile(true, QStringLiteral("Export CSV"), QStringLiteral("CSV (*.csv)"), suggested);
    if (path.isEmpty()) return false;
    if (const QString error = writeCsv(path, header, rows); !error.isEmpty()) {
        showError(QStringLiteral("File not written: %1 (%2)").arg(path, error));
        return false;
    }
    return true;
}

void EditorBase::addExportButton(QWidget* container) {
    const auto exportShown = [this] { exportCsv(shownHeader(), shownRows(), formName() + QStringLiteral(".csv")); };
    addRow(container, nullptr, addButton(QStringLiteral("cmdExport"), 0, Caption("Export CSV"), container, exportShown));
    auto* action = new QAction(QStringLiteral("Export CSV"), this);
    connect(action, &QAction::triggered, this, exportShown);
    addAction(action);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

} // namespace vm::editors

#include "Form2.h"

#include "CsvFile.h"

#include "DoseTables.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

namespace vm::editors {

using namespace doses;

namespace {
constexpr int kFixedColumns = 2; // selection and dose
constexpr int kListedTables[] = {kValveTable, kDoserTable, kMixerTable};

int rowOf(int selection, int dose) {
    return selection * kDoses + dose;
}
} // namespace

const QStringList& Form2::columnNames() {
    // Plain ASCII: a spreadsheet reads the file the same way whatever its code page.
    static const QStringList names = {"Selezione", "Dose", "Tempo Ev", "Tempo Dosatore", "Tempo Mixer", "Taratura"};
    return names;
}

Form2::Form2(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("Form2"), Caption("Riepilogo Dosi"));
    for (int s = 0; s < kSelections; ++s)
        for (int dose = 0; dose < kDoses; ++dose) {
            int column = kFixedColumns;
            for (int table : kListedTables)
                cellOf_[doseParam(dose, table, s)] = {rowOf(s, dose), column++};
            cellOf_[kCalibration[dose] + s] = {rowOf(s, dose), column};
        }
    for (const auto& [param, cell] : cellOf_)
        d.extraWatch.push_back(param);
    arrived_.assign(static_cast<std::size_t>(kSelections * kDoses * columnNames().size()), false);
    setup(std::move(d));
}

void Form2::buildExtra() {
    QWidget* form = page(-1);
    grid_ = new QTableWidget(kSelections * kDoses, static_cast<int>(columnNames().size()), form);
    registerControl(QStringLiteral("Grid1"), 0, grid_);
    grid_->setHorizontalHeaderLabels(columnNames());
    grid_->verticalHeader()->setVisible(false);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setMinimumSize(560, 420);
    for (int s = 0; s < kSelections; ++s)
        for (int dose = 0; dose < kDoses; ++dose) {
            grid_->setItem(rowOf(s, dose), 0, new QTableWidgetItem(QString::number(s + 1)));
            grid_->setItem(rowOf(s, dose), 1, new QTableWidgetItem(QString::number(dose + 1)));
            for (int c = kFixedColumns; c < grid_->columnCount(); ++c)
                grid_->setItem(rowOf(s, dose), c, new QTableWidgetItem(QStringLiteral("...")));
        }
    grid_->resizeColumnsToContents();
    addRow(form, nullptr, grid_);
    status_ = new QLabel(form);
    registerControl(QStringLiteral("Label1"), 0, status_);
    addRow(form, nullptr, status_);
}

void Form2::afterDelivery(int index, const ParamData& value) {
    const auto it = cellOf_.find(index);
    if (it == cellOf_.end()) return;
    const auto [row, column] = it->second;
    const double* v = std::get_if<double>(&value);
    grid_->item(row, column)->setText(QString::number(v ? static_cast<long long>(*v) : 0));
    const auto slot = static_cast<std::size_t>(row * grid_->columnCount() + column);
    if (!arrived_[slot]) {
        arrived_[slot] = true;
        ++arrivedCount_;
    }
    if (arrivedCount_ < static_cast<int>(cellOf_.size())) {
        status_->setText(QStringLiteral("Lettura %1/%2").arg(arrivedCount_).arg(cellOf_.size()));
        return;
    }
    if (!pendingPath_.isEmpty()) writeFile();
}

std::vector<std::vector<int>> Form2::rows() const {
    std::vector<std::vector<int>> out(static_cast<std::size_t>(kSelections * kDoses),
                                      std::vector<int>(static_cast<std::size_t>(columnNames().size())));
    for (int s = 0; s < kSelections; ++s)
        for (int dose = 0; dose < kDoses; ++dose) {
            std::vector<int>& row = out[static_cast<std::size_t>(rowOf(s, dose))];
            row[0] = s + 1;
            row[1] = dose + 1;
        }
    for (const auto& [param, cell] : cellOf_)
        out[static_cast<std::size_t>(cell.first)][static_cast<std::size_t>(cell.second)] =
            static_cast<int>(paramValue(param));
    return out;
}

void Form2::exportTo(const QString& path) {
    pendingPath_ = path;
    if (arrivedCount_ >= static_cast<int>(cellOf_.size())) writeFile();
}

void Form2::writeFile() {
    const QString path = pendingPath_;
    pendingPath_.clear();
    std::vector<QStringList> table;
    for (const std::vector<int>& row : rows()) {
        QStringList fields;
        for (int v : row)
            fields.append(QString::number(v));
        table.push_back(fields);
    }
    if (const QString error = writeCsv(path, columnNames(), table); !error.isEmpty()) {
        status_->setText(QString());
        showError(QStringLiteral("Calibration file not written: %1 (%2)").arg(path, error));
        return;
    }
    status_->setText(QStringLiteral("Salvato: %1").arg(path));
}

} // namespace vm::editors

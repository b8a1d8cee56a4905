#include "FrmInOut.h"

#include "Catalogue.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QTableWidget>

#include <algorithm>

namespace vm::remote {

using editors::Caption;

namespace {
// Parameters the board reads only once when watched are asked again this often while the monitor runs.
constexpr int kRefreshMs = 1000;
constexpr int kMaxRows = 64;
enum Column { IndexColumn, NameColumn, ValueColumn, ChangedColumn };

QString shown(const ParamData& value) {
    if (const double* n = std::get_if<double>(&value)) return QString::number(static_cast<long long>(*n));
    return QString::fromLatin1(std::get<std::string>(value)).trimmed();
}
} // namespace

std::optional<int> FrmInOut::lookUp(const QString& text, QString& why) {
    const QString wanted = text.trimmed();
    bool isNumber = false;
    const int index = wanted.toInt(&isNumber);
    if (isNumber) {
        if (catalogue::find(index)) return index;
        why = QStringLiteral("No parameter %1").arg(wanted);
        return std::nullopt;
    }
    if (wanted.isEmpty()) {
        why = QStringLiteral("Type an index or a name");
        return std::nullopt;
    }
    std::vector<int> matches;
    for (const catalogue::ParamInfo& p : catalogue::all()) {
        const QString name = QString::fromUtf8(p.name.data(), static_cast<qsizetype>(p.name.size()));
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) return p.index;
        if (name.contains(wanted, Qt::CaseInsensitive)) matches.push_back(p.index);
    }
    if (matches.size() == 1) return matches.front();
    why = matches.empty() ? QStringLiteral("No parameter named \"%1\"").arg(wanted)
                          : QStringLiteral("%1 parameters match \"%2\"").arg(matches.size()).arg(wanted);
    return std::nullopt;
}

FrmInOut::FrmInOut(editors::EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent), rowWatch_(ctx.state) {
    setup(editors::EditorDefinition(QStringLiteral("FrmInOut"), Caption("In/Out")));
    showRunning();
    everyMs(kRefreshMs, [this] { refreshOnce(); });
}

void FrmInOut::buildExtra() {
    QWidget* form = page(-1);
    entry_ = new QLineEdit(form);
    registerControl(QStringLiteral("Text1"), 0, entry_);
    entry_->setPlaceholderText(QStringLiteral("indice o nome"));
    connect(entry_, &QLineEdit::returnPressed, this, [this] { addParameter(entry_->text()); });
    addRow(form, captionLabel(Caption("Parametro"), form), entry_);

    list_ = new QTableWidget(0, 4, form);
    registerControl(QStringLiteral("ListView1"), 0, list_);
    list_->setHorizontalHeaderLabels({"Indice", "Nome", "Valore", "Ultima variazione"});
    list_->verticalHeader()->setVisible(false);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    list_->setMinimumSize(560, 280);
    addRow(form, nullptr, list_);

    auto* buttons = new QWidget(form);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(addButton(QStringLiteral("Command1"), 0, Caption("Aggiungi"), buttons,
                             [this] { addParameter(entry_->text()); }));
    row->addWidget(addButton(QStringLiteral("Command2"), 0, Caption("Avvia"), buttons, [this] { start(); }));
    row->addWidget(addButton(QStringLiteral("Command3"), 0, Caption("Ferma"), buttons, [this] { stop(); }));
    row->addStretch();
    addRow(form, nullptr, buttons);
    status_ = new QLabel(form);
    registerControl(QStringLiteral("Label1"), 0, status_);
    addRow(form, nullptr, status_);
}

void FrmInOut::addParameter(const QString& text) {
    QString why;
    const std::optional<int> index = lookUp(text, why);
    if (!index) {
        showError(why);
        return;
    }
    if (std::any_of(rows_.begin(), rows_.end(), [&](const Row& r) { return r.index == *index; })) return;
    if (static_cast<int>(rows_.size()) >= kMaxRows) {
        showError(QStringLiteral("At most %1 parameters can be watched").arg(kMaxRows));
        return;
    }
    const catalogue::ParamInfo* info = catalogue::find(*index);
    rows_.push_back({*index, std::nullopt});
    const int r = list_->rowCount();
    list_->insertRow(r);
    list_->setItem(r, IndexColumn, new QTableWidgetItem(QString::number(*index)));
    list_->setItem(r, NameColumn,
                   new QTableWidgetItem(QString::fromUtf8(info->name.data(), static_cast<qsizetype>(info->name.size()))));
    list_->setItem(r, ValueColumn, new QTableWidgetItem(QStringLiteral("...")));
    list_->setItem(r, ChangedColumn, new QTableWidgetItem());
    entry_->clear();
    if (running_) watchRow(rows_.back());
    showRunning();
}

void FrmInOut::watchRow(const Row& row) {
    rowWatch_.watch(row.index);
    ProgramState& state = context().state;
    // Online the value is read afresh, even when the cell holds an earlier one; offline the image holds it.
    if (state.Online)
        state.RequestRead(row.index);
    else
        state.NotifyEditor(row.index, this);
}

void FrmInOut::start() {
    if (running_) return;
    running_ = true;
    for (const Row& row : rows_)
        watchRow(row);
    showRunning();
}

void FrmInOut::stop() {
    if (!running_) return;
    running_ = false;
    rowWatch_.release();
    showRunning();
}

void FrmInOut::formUnload() {
    stop();
}

void FrmInOut::refreshOnce() {
    ProgramState& state = context().state;
    if (!running_ || !state.Online) return;
    // A parameter without a poll divider is read once per watch: it is asked for again once its last read
    // has been answered.
    for (const Row& row : rows_) {
        const ParamCell& cell = state.cell(row.index, 0);
        if (cell.at(CellPos::PollDivider) == 0 && !cell.has(Pending)) state.RequestRead(row.index);
    }
}

void FrmInOut::afterDelivery(int index, const ParamData& value) {
    if (!running_) return;
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        Row& row = rows_[r];
        if (row.index != index) continue;
        const int line = static_cast<int>(r);
        list_->item(line, ValueColumn)->setText(shown(value));
        if (!row.value || *row.value != value)
            list_->item(line, ChangedColumn)->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")));
        row.value = value;
    }
}

void FrmInOut::showRunning() {
    status_->setText(QStringLiteral("%1 - %2 parametri").arg(running_ ? "In corso" : "Fermo").arg(rows_.size()));
}

} // namespace vm::remote

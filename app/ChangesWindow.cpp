#include "ChangesWindow.h"

#include "ChangeText.h"

#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vm::app {

ChangesWindow::ChangesWindow(const ProgramState& state, ChangeLog& log, QWidget* parent)
    : QWidget(parent), state_(state), log_(log), status_(new QLabel(this)), table_(new QTableWidget(this)) {
    setObjectName("FrmChanges");
    setWindowTitle("Changes");
    status_->setObjectName("Label1_0");
    status_->setWordWrap(true);
    table_->setObjectName("Grid1_0");
    table_->setColumnCount(ColumnCount);
    table_->setHorizontalHeaderLabels(
        {"Time", "Kind", "Window", "Control", "Parameter", "Old", "New", "Board"});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {70, 50, 110, 100, 250, 70, 70};
    for (int c = 0; c < Board; ++c)
        table_->setColumnWidth(c, widths[c]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(table_, 1);
    resize(880, 420);
    log_.addListener(this);
    refresh();
}

ChangesWindow::~ChangesWindow() {
    log_.removeListener(this);
}

void ChangesWindow::refresh() {
    std::vector<const Change*> shown;
    for (const Change& c : log_.changes())
        if (c.log == log_.currentLog()) shown.push_back(&c);
    QString status =
        QStringLiteral("%1 changes since %2.")
            .arg(shown.size())
            .arg(QString::fromStdString(log_.currentLog() == 1 ? std::string("the start")
                                                               : log_.logReason(log_.currentLog())));
    if (!log_.file().empty()) status += " Kept in " + QString::fromStdString(log_.file().string());
    if (!log_.fileError().empty())
        status += " The log file could not be written: " + QString::fromStdString(log_.fileError());
    status_->setText(status);

    table_->setRowCount(static_cast<int>(shown.size()));
    int row = 0;
    for (auto it = shown.rbegin(); it != shown.rend(); ++it, ++row) { // newest first
        const Change& c = **it;
        const QString cells[ColumnCount] = {
            QDateTime::fromSecsSinceEpoch(std::chrono::system_clock::to_time_t(c.time)).toString("HH:mm:ss"),
            QString::fromLatin1(ChangeKindName(c.kind)),
            QString::fromStdString(c.window),
            QString::fromStdString(c.control),
            ParamTitle(c.index),
            ShownValue(state_, c.index, c.before),
            ShownValue(state_, c.index, c.after),
            BoardAnswer(state_, c),
        };
        for (int column = 0; column < ColumnCount; ++column) {
            auto* item = table_->item(row, column);
            if (!item) table_->setItem(row, column, item = new QTableWidgetItem);
            item->setText(cells[column]);
        }
    }
}

} // namespace vm::app

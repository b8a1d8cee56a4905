#include "CompareWindow.h"

#include "ParamBrowser.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace vm::app {

CompareWindow::CompareWindow(editors::EditorContext& ctx, BoardRead readBoard, QWidget* parent)
    : QWidget(parent), ctx_(ctx), readBoard_(std::move(readBoard)),
      model_(new ParamTableModel(ctx.state, ctx.forms, ParamTableModel::Source::Image, this)),
      filter_(new ParamFilter(model_, this)), table_(new QTableView(this)), status_(new QLabel(this)),
      takeButton_(new QPushButton("Take", this)), takeAllButton_(new QPushButton("Take all", this)),
      readButton_(new QPushButton("Read board", this)) {
    setObjectName("FrmCompare");
    model_->setChangeLog(ctx_.changes, "FrmCompare");
    setWindowTitle(ctx_.state.Online ? "Compare the board with a file"
                                     : "Compare the configuration with a file");
    auto* chooseButton = new QPushButton("File...", this);
    chooseButton->setObjectName("Command1_0");
    takeButton_->setObjectName("Command2_0");
    takeAllButton_->setObjectName("Command3_0");
    readButton_->setObjectName("Command4_0");
    status_->setObjectName("Label1_0");
    table_->setObjectName("Grid1_0");
    takeButton_->setToolTip("Takes the file's value of the selected rows (or double-click a row)");
    readButton_->setVisible(ctx_.state.Online);

    filter_->setChangedOnly(true);
    table_->setModel(filter_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setColumnHidden(ParamTableModel::Address, true);
    table_->setColumnHidden(ParamTableModel::Width, true);
    const int widths[] = {60, 260, 0, 0, 120, 120};
    for (int c = 0; c < 6; ++c)
        if (widths[c] > 0) table_->setColumnWidth(c, widths[c]);
    model_->setHeader(ParamTableModel::Value, ctx_.state.Online ? "Board" : "Configuration");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chooseButton);
    buttons->addWidget(readButton_);
    buttons->addStretch(1);
    buttons->addWidget(takeButton_);
    buttons->addWidget(takeAllButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(status_);
    layout->addWidget(table_, 1);
    resize(760, 480);

    connect(chooseButton, &QPushButton::clicked, this, &CompareWindow::chooseFile);
    connect(readButton_, &QPushButton::clicked, this, &CompareWindow::readBoard);
    connect(takeButton_, &QPushButton::clicked, this, [this] {
        QList<int> rows;
        for (const QModelIndex& i : table_->selectionModel()->selectedRows())
            rows.append(filter_->mapToSource(i).row());
        take(rows);
    });
    connect(takeAllButton_, &QPushButton::clicked, this, [this] {
        QList<int> rows;
        for (int row = 0; row < filter_->rowCount(); ++row)
            rows.append(filter_->mapToSource(filter_->index(row, 0)).row());
        take(rows);
    });
    connect(table_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { take({filter_->mapToSource(i).row()}); });
    QTimer::singleShot(0, this, [this] { model_->setPlaces(&EditorPlaces(ctx_.state, ctx_.messages)); });
    refresh();
}

void CompareWindow::chooseFile() {
    QString path;
    ConfigFileData data;
    if (!ChooseReferenceFile(ctx_.hooks, this, path, data)) return;
    model_->setReference(std::move(data));
    model_->setHeader(ParamTableModel::InFile, QFileInfo(path).fileName());
    if (ctx_.state.Online)
        readBoard();
    else
        refresh();
}

void CompareWindow::readBoard() {
    if (!ctx_.state.Online || !readBoard_ || reading_) return;
    reading_ = true;
    refresh();
    QPointer<CompareWindow> self(this);
    readBoard_([self](bool ok, const QString& why) {
        if (!self) return;
        self->reading_ = false;
        if (!ok) ShowParamError(self, "The board's memory could not be read: " + why);
        self->model_->refreshAll();
        self->refresh();
    });
}

void CompareWindow::take(const QList<int>& sourceRows) {
    QStringList refused;
    // What one click takes is one edit: one Undo puts it all back.
    ChangeLog::EditScope edit(ctx_.changes, {"FrmCompare", "Take"});
    for (int row : sourceRows)
        if (model_->differs(row))
            if (const QString why = model_->takeFromFile(row); !why.isEmpty()) refused.append(why);
    refresh();
    if (!refused.isEmpty()) ShowParamError(this, refused.join('\n'));
}

void CompareWindow::refresh() {
    filter_->refilter();
    const int rows = filter_->rowCount();
    takeButton_->setEnabled(rows > 0 && !reading_);
    takeAllButton_->setEnabled(rows > 0 && !reading_);
    readButton_->setEnabled(!reading_);
    if (reading_)
        status_->setText("Reading the board....");
    else if (!model_->hasReference())
        status_->setText("Choose a configuration file to compare with.");
    else
        status_->setText(rows == 0   ? QStringLiteral("No differences.")
                         : rows == 1 ? QStringLiteral("1 parameter differs.")
                                     : QStringLiteral("%1 parameters differ.").arg(rows));
}

} // namespace vm::app

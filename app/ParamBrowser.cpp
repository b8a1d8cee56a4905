#include "ParamBrowser.h"

#include "EditorBase.h"
#include "MessageBox.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <set>

namespace vm::app {

namespace {
constexpr int kMostWatchedRows = 100; // a screenful; the link polls no more than what is seen
}

bool OpenEditorAt(editors::MainWindowHooks& hooks, const EditorPlace& place) {
    editors::EditorBase* editor = hooks.openForm(place.form);
    if (!editor) return false;
    QWidget* control = editor->control(place.control, place.controlIndex);
    if (!control) return true;
    // The pages that hold the control come to the front, from the outside in.
    std::vector<std::pair<QTabWidget*, QWidget*>> pages;
    for (QWidget* w = control; w && w != editor; w = w->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
        if (auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr)
            pages.emplace_back(tabs, w);
    }
    for (auto it = pages.rbegin(); it != pages.rend(); ++it)
        it->first->setCurrentWidget(it->second);
    control->setFocus(Qt::OtherFocusReason);
    return true;
}

bool ChooseReferenceFile(editors::MainWindowHooks* hooks, QWidget* parent, QString& path,
                         ConfigFileData& data) {
    if (!hooks) return false;
    editors::FileChoice choice;
    choice.title = "Compare with";
    choice.filter = "Configuration(*.prm *.spf *.cfx)";
    path = hooks->chooseFile(choice);
    if (path.isEmpty()) return false;
    ConfigReadResult file = ReadConfigFile(path.toStdString());
    if (!file.ok()) {
        ShowParamError(parent, path + ": " + QString::fromStdString(file.error));
        return false;
    }
    data = std::move(file.data);
    return true;
}

void ShowParamError(QWidget* parent, const QString& text) {
    editors::MessageRequest request;
    request.parent = parent;
    request.icon = editors::MessageIcon::Exclamation;
    request.title = parent->windowTitle();
    request.text = text;
    editors::showMessage(request);
}

ParamBrowser::ParamBrowser(editors::EditorContext& ctx, QWidget* parent)
    : QWidget(parent), ctx_(ctx),
      model_(new ParamTableModel(ctx.state, ctx.forms, ParamTableModel::Source::LiveCells, this)),
      filter_(new ParamFilter(model_, this)), table_(new QTableView(this)), filterText_(new QLineEdit(this)),
      changedOnly_(new QCheckBox("Changed only", this)), fileLabel_(new QLabel(this)), watch_(ctx.state) {
    setObjectName("FrmBrowse");
    setWindowTitle("Parameters");
    model_->setChangeLog(ctx_.changes, "FrmBrowse");
    auto* chooseButton = new QPushButton("Compare with file...", this);
    filterText_->setObjectName("Text1_0");
    filterText_->setPlaceholderText("Filter: index, name or window");
    changedOnly_->setObjectName("Check1_0");
    changedOnly_->setEnabled(false);
    changedOnly_->setToolTip("Only the parameters whose value differs from the chosen file");
    chooseButton->setObjectName("Command1_0");
    fileLabel_->setObjectName("Label1_0");
    table_->setObjectName("Grid1_0");

    table_->setModel(filter_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    table_->verticalHeader()->hide();
    // Fixed row heights and column widths: the view never measures 30000 rows.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {60, 260, 70, 60, 120, 120};
    for (int c = 0; c < 6; ++c)
        table_->setColumnWidth(c, widths[c]);
    table_->setColumnHidden(ParamTableModel::InFile, true);

    auto* top = new QHBoxLayout;
    top->addWidget(filterText_, 1);
    top->addWidget(chooseButton);
    top->addWidget(changedOnly_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(fileLabel_);
    layout->addWidget(table_, 1);
    resize(820, 520);

    connect(filterText_, &QLineEdit::textChanged, filter_, &ParamFilter::setText);
    connect(changedOnly_, &QCheckBox::toggled, filter_, &ParamFilter::setChangedOnly);
    connect(chooseButton, &QPushButton::clicked, this, &ParamBrowser::chooseFile);
    connect(table_, &QTableView::doubleClicked, this, &ParamBrowser::openEditorOf);
    // The message comes after the edit has ended, not from inside the view's commit.
    connect(
        model_, &ParamTableModel::refused, this, [this](const QString& why) { ShowParamError(this, why); },
        Qt::QueuedConnection);
    connect(table_->verticalScrollBar(), &QScrollBar::valueChanged, this, &ParamBrowser::scheduleWatchUpdate);
    connect(filter_, &QAbstractItemModel::layoutChanged, this, &ParamBrowser::scheduleWatchUpdate);
    connect(filter_, &QAbstractItemModel::rowsRemoved, this, &ParamBrowser::scheduleWatchUpdate);
    connect(filter_, &QAbstractItemModel::rowsInserted, this, &ParamBrowser::scheduleWatchUpdate);
    connect(filter_, &QAbstractItemModel::modelReset, this, &ParamBrowser::scheduleWatchUpdate);
    ctx_.forms.add(this);
    scheduleWatchUpdate();
    // Which window shows which parameter is found once, after the window is up.
    QTimer::singleShot(0, this, [this] { model_->setPlaces(&EditorPlaces(ctx_.state, ctx_.messages)); });
}

ParamBrowser::~ParamBrowser() {
    releaseWatches();
    ctx_.forms.remove(this);
}

void ParamBrowser::closeEvent(QCloseEvent* event) {
    closed_ = true;
    releaseWatches();
    ctx_.forms.remove(this);
    QWidget::closeEvent(event);
}

void ParamBrowser::deliver(int index, const ParamData&) {
    model_->valueChanged(index);
    if (filter_->changedOnly()) filter_->refilter();
}

void ParamBrowser::chooseFile() {
    QString path;
    ConfigFileData data;
    if (!ChooseReferenceFile(ctx_.hooks, this, path, data)) return;
    model_->setReference(std::move(data));
    fileLabel_->setText("File: " + QFileInfo(path).fileName());
    table_->setColumnHidden(ParamTableModel::InFile, false);
    changedOnly_->setEnabled(true);
    filter_->refilter();
}

void ParamBrowser::openEditorOf(const QModelIndex& proxyIndex) {
    const QModelIndex source = filter_->mapToSource(proxyIndex);
    if (!source.isValid() || !ctx_.hooks) return;
    if (const EditorPlace* place = model_->place(source.row())) OpenEditorAt(*ctx_.hooks, *place);
}

// ---------------------------------------------------------------- live values of the rows on screen

void ParamBrowser::scheduleWatchUpdate() {
    if (watchUpdateQueued_ || closed_) return;
    watchUpdateQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        watchUpdateQueued_ = false;
        updateWatches();
    });
}

void ParamBrowser::updateWatches() {
    if (closed_) return;
    std::set<int> wanted;
    if (ctx_.state.Online) {
        const int first = std::max(0, table_->rowAt(0));
        int last = table_->rowAt(table_->viewport()->height() - 1);
        if (last < 0) last = filter_->rowCount() - 1;
        last = std::min(last, first + kMostWatchedRows - 1);
        for (int row = first; row <= last; ++row) {
            const int index = model_->param(filter_->mapToSource(filter_->index(row, 0)).row()).index;
            if (ctx_.state.IsParameter(index)) wanted.insert(index);
        }
    }
    // The rows still in view stay watched: their values are not read again on every scroll.
    watch_.replace(std::vector<int>(wanted.begin(), wanted.end()));
}

void ParamBrowser::releaseWatches() {
    watch_.release();
}

} // namespace vm::app

#include "FrmCancella.h"

#include "MessageBox.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace vm::editors {

namespace {
constexpr int kCodes[2] = {7, 8}; // resettable data only; every counter
const char* const kDone = "Dati cancellati";
const char* const kNotConfirmed =
    "The board did not confirm the clearing: the data may not have been cleared.";
const char* const kOffline = "Connect to a board to clear its data.";
} // namespace

FrmCancella::FrmCancella(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent), commandWatch_(ctx.state) {
    setup(EditorDefinition(QStringLiteral("FrmCancella"), Caption("Cancella")));
}

void FrmCancella::buildExtra() {
    QWidget* window = page(-1);
    buttons_[0] = addButton(QStringLiteral("cmdCancella"), 0, Caption("Cancella dati Azzerabili"), window,
                            [this] { start(0); });
    buttons_[1] = addButton(QStringLiteral("cmdCancella"), 1, Caption("Cancella dati Non Azzerabili"), window,
                            [this] { start(1); });
    info_ = new QLabel(window);
    info_->setWordWrap(true);
    registerControl(QStringLiteral("lblInfo"), 0, info_);
    bar_ = new QProgressBar(window);
    bar_->setRange(0, kBarTicks);
    bar_->setTextVisible(false);
    bar_->hide();
    registerControl(QStringLiteral("lbrInfo"), 0, bar_);
    for (QWidget* w : {static_cast<QWidget*>(buttons_[0]), static_cast<QWidget*>(buttons_[1]),
                       static_cast<QWidget*>(bar_), static_cast<QWidget*>(info_)})
        addRow(window, nullptr, w);

    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &FrmCancella::tick);
    // The command means nothing without a board.
    if (!state().Online) {
        setButtonsEnabled(false);
        info_->setText(QString::fromLatin1(kOffline));
    }
}

void FrmCancella::setButtonsEnabled(bool enabled) {
    for (QPushButton* b : buttons_)
        b->setEnabled(enabled);
}

void FrmCancella::start(int button) {
    if (phase_ != Phase::Idle || !state().Online) return;
    const MessageAnswer answer = showMessage({this, MessageIcon::Exclamation, MessageButtons::YesNo,
                                              QStringLiteral(" Sei Sicuro ?"), windowTitle()});
    if (answer != MessageAnswer::Yes || !state().Online) return;
    code_ = kCodes[button];
    setButtonsEnabled(false);
    info_->clear();
    bar_->setValue(0);
    bar_->show();
    // Nothing else may reach the board while it clears its data.
    if (EditorContext& ctx = context(); ctx.hooks) ctx.hooks->disableMenus();
    commandWatch_.watch(kCommandCell);
    phase_ = Phase::Sending;
    ticks_ = 0;
    writeParam(kCommandCell, 0, 1, static_cast<std::uint32_t>(code_));
    timer_->start(kTickMs);
}

// The first delivery after the write is its acknowledgement (the value written); then the cell is read
// back until the board shows it has run the command by setting the cell to 0.
void FrmCancella::afterDelivery(int index, const ParamData& value) {
    if (index != kCommandCell || phase_ == Phase::Idle || phase_ == Phase::Confirmed) return;
    ProgramState& s = context().state;
    if (s.cell(kCommandCell, 0).has(WritePending)) return; // written again: wait for that acknowledgement
    const double* v = std::get_if<double>(&value);
    if (phase_ == Phase::ReadingBack && v && *v == 0) {
        phase_ = Phase::Confirmed;
        if (ticks_ >= kBarTicks) finish(true);
        return;
    }
    phase_ = Phase::ReadingBack;
    s.RequestRead(kCommandCell);
}

void FrmCancella::tick() {
    ++ticks_;
    bar_->setValue(std::min(ticks_, kBarTicks));
    if (!state().Online) return finish(false);
    if (ticks_ < kBarTicks) return;
    if (phase_ == Phase::Confirmed) return finish(true);
    // A write that was never acknowledged, or a cell the board never set back: the clearing failed.
    if (ticks_ >= kGiveUpTicks) finish(false);
}

void FrmCancella::finish(bool confirmed) {
    timer_->stop();
    phase_ = Phase::Idle;
    commandWatch_.release();
    setButtonsEnabled(state().Online);
    if (EditorContext& ctx = context(); ctx.hooks && state().Online) ctx.hooks->enableMenus();
    info_->setText(QString::fromLatin1(confirmed ? kDone : kNotConfirmed));
    if (!confirmed) showError(QString::fromLatin1(kNotConfirmed));
}

// Closed while the board clears: the menus come back (a lost link leaves them to the main window).
void FrmCancella::formUnload() {
    if (phase_ == Phase::Idle) return;
    timer_->stop();
    phase_ = Phase::Idle;
    commandWatch_.release();
    if (EditorContext& ctx = context(); ctx.hooks && state().Online) ctx.hooks->enableMenus();
}

} // namespace vm::editors

#include "EvaDtsExport.h"

#include "EvaDtsReport.h"
#include "MessageBox.h"

#include <QProgressDialog>
#include <QSaveFile>
#include <QTimer>

namespace vm::editors {

namespace {
constexpr int kOnlineCheckMs = 500;
const QString kTitle = QStringLiteral("Export EVA-DTS");
} // namespace

void ExportEvaDts(EditorContext& ctx, QWidget* parent) {
    if (!ctx.state.Online) {
        // Offline there is nothing to export: the counters live on the board, not in the configuration.
        showMessage({parent, MessageIcon::Exclamation, MessageButtons::Ok,
                     QStringLiteral("Connect to the board first: the sales data is read from it."), kTitle});
        return;
    }
    const QString path =
        ctx.hooks ? ctx.hooks->chooseFile({true, kTitle, QStringLiteral("EVA-DTS (*.eva *.txt)"),
                                           QStringLiteral("Audit.eva")})
                  : QString();
    if (path.isEmpty()) return;
    new EvaDtsExport(ctx, path, parent); // ends itself
}

EvaDtsExport::EvaDtsExport(EditorContext& ctx, QString path, QWidget* parent)
    : QObject(parent), ctx_(ctx), path_(std::move(path)), parentWidget_(parent), watch_(ctx.state) {
    for (int index : EvaDtsParams())
        if (ctx_.state.IsParameter(index)) params_.push_back(index);
    ctx_.forms.add(this);
    watch_.watch(params_);
    for (int index : params_)
        if (!ctx_.state.ParamIsValid(index, 0)) unread_.insert(index);
    watching_ = true;

    progress_ = new QProgressDialog(QStringLiteral("Reading the sales data from the board"), QStringLiteral("Cancel"),
                                    0, static_cast<int>(params_.size()), parent);
    progress_->setObjectName(QStringLiteral("EvaDtsProgress"));
    progress_->setWindowTitle(kTitle);
    progress_->setMinimumDuration(300);
    progress_->setValue(static_cast<int>(params_.size() - unread_.size()));
    connect(progress_, &QProgressDialog::canceled, this, [this] { finish(QString()); });

    onlineCheck_ = new QTimer(this);
    connect(onlineCheck_, &QTimer::timeout, this, [this] {
        if (!ctx_.state.Online) finish(QStringLiteral("The board went offline: no file written."));
    });
    onlineCheck_->start(kOnlineCheckMs);
    QTimer::singleShot(0, this, [this] { check(); }); // every value may be in already
}

EvaDtsExport::~EvaDtsExport() {
    release();
    if (progress_) progress_->deleteLater();
}

void EvaDtsExport::deliver(int index, const ParamData&) {
    if (!watching_ || !unread_.erase(index)) return;
    if (progress_) progress_->setValue(static_cast<int>(params_.size() - unread_.size()));
    check();
}

void EvaDtsExport::check() {
    if (!watching_ || !unread_.empty()) return;
    const ProgramState& state = ctx_.state;
    const AuditSource source = [&](int index) -> std::optional<std::uint32_t> {
        if (!state.ParamIsValid(index, 0) || state.cell(index, 0).isText()) return std::nullopt;
        return static_cast<std::uint32_t>(state.ParamValue(index, 0));
    };
    const std::string text = EvaDtsReport(source, IdentityOf(state), ReadingTimeNow());
    // Written beside and renamed over the old file, so a failed write never leaves half a file.
    QSaveFile out(path_);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) || !out.commit()) {
        finish(QStringLiteral("File not written: %1 (%2)").arg(path_, out.errorString()));
        return;
    }
    finish(QString());
}

void EvaDtsExport::finish(const QString& error) {
    if (!watching_) return;
    release();
    onlineCheck_->stop();
    if (progress_) {
        progress_->blockSignals(true); // closing it must not count as a cancel
        progress_->close();
    }
    if (!error.isEmpty()) showMessage({parentWidget_, MessageIcon::Critical, MessageButtons::Ok, error, kTitle});
    deleteLater();
}

void EvaDtsExport::release() {
    if (!watching_) return;
    watching_ = false;
    ctx_.forms.remove(this);
    watch_.release();
}

} // namespace vm::editors

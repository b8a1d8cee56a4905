#include "FrmDevelopment.h"

#include "FileIO.h"
#include "LinkMonitor.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QPlainTextEdit>

#include <cstdio>
#include <iterator>
#include <span>
#include <string>

namespace vm::remote {

using editors::Caption;

namespace {
constexpr int kRefreshMs = 250;
constexpr const char* kFigureCaptions[] = {"Richieste",       "Risposte",      "Ripetizioni",
                                           "Errori checksum", "Time-out",      "Tempo risposta ultimo (ms)",
                                           "Tempo risposta medio (ms)",       "Tempo risposta massimo (ms)"};

std::string countsText(const link::LinkCounts& c) {
    char mean[32];
    std::snprintf(mean, sizeof mean, "%.1f", c.meanRoundTripMs());
    return "requests " + std::to_string(c.requests) + "\r\nreplies " + std::to_string(c.replies) + "\r\nretries " +
           std::to_string(c.retries) + "\r\nchecksum failures " + std::to_string(c.checksumFailures) +
           "\r\ntime-outs " + std::to_string(c.timeouts) + "\r\nround trip ms last " +
           std::to_string(c.lastRoundTripMs) + " mean " + mean + " worst " + std::to_string(c.worstRoundTripMs) +
           "\r\n";
}
} // namespace

FrmDevelopment::FrmDevelopment(editors::EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    monitor_ = ctx.hooks ? ctx.hooks->linkMonitor() : nullptr;
    setup(editors::EditorDefinition(QStringLiteral("FrmDevelopment"), Caption("Development")));
    refresh();
    everyMs(kRefreshMs, [this] { refresh(); });
}

void FrmDevelopment::buildExtra() {
    QWidget* form = page(-1);
    for (std::size_t i = 0; i < figures_.size(); ++i) {
        figures_[i] = new QLabel(form);
        figures_[i]->setMinimumWidth(80);
        registerControl(QStringLiteral("Label1"), static_cast<int>(i), figures_[i]);
        addRow(form, captionLabel(Caption(kFigureCaptions[i]), form), figures_[i]);
    }
    trace_ = new QPlainTextEdit(form);
    registerControl(QStringLiteral("Text1"), 0, trace_);
    trace_->setReadOnly(true);
    trace_->setLineWrapMode(QPlainTextEdit::NoWrap);
    trace_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    trace_->setMaximumBlockCount(static_cast<int>(link::LinkMonitor::kDefaultTraceCapacity));
    trace_->setMinimumSize(520, 260);
    addRow(form, nullptr, trace_);

    auto* buttons = new QWidget(form);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(addButton(QStringLiteral("Command1"), 0, Caption("Azzera"), buttons, [this] { resetCounts(); }));
    row->addWidget(
        addButton(QStringLiteral("Command2"), 0, Caption("Salva traccia"), buttons, [this] { saveTrace(); }));
    row->addStretch();
    addRow(form, nullptr, buttons);
    status_ = new QLabel(form);
    registerControl(QStringLiteral("Label2"), 0, status_);
    addRow(form, nullptr, status_);
}

void FrmDevelopment::refresh() {
    if (!monitor_) {
        status_->setText(QStringLiteral("Nessuna linea seriale"));
        return;
    }
    const link::LinkCounts& c = monitor_->counts();
    const std::uint64_t numbers[] = {c.requests, c.replies, c.retries, c.checksumFailures, c.timeouts};
    for (std::size_t i = 0; i < std::size(numbers); ++i)
        figures_[i]->setText(QString::number(numbers[i]));
    figures_[5]->setText(QString::number(c.lastRoundTripMs));
    figures_[6]->setText(QString::number(c.meanRoundTripMs(), 'f', 1));
    figures_[7]->setText(QString::number(c.worstRoundTripMs));
    for (const link::TraceEntry& entry : monitor_->trace()) {
        if (entry.serial <= shownSerial_) continue;
        trace_->appendPlainText(QString::fromStdString(link::TraceLine(entry)));
        shownSerial_ = entry.serial;
    }
}

void FrmDevelopment::resetCounts() {
    if (!monitor_) return;
    monitor_->reset();
    trace_->clear();
    refresh();
}

void FrmDevelopment::saveTrace() {
    if (!monitor_) return;
    const QString path = chooseFile(true, QStringLiteral("Salva traccia"), QStringLiteral("Traccia (*.txt)"),
                                    QStringLiteral("traccia.txt"));
    if (path.isEmpty()) return;
    // The figures first, then the trace as the monitor holds it (the newest lines, oldest first).
    std::string text = countsText(monitor_->counts());
    for (const link::TraceEntry& entry : monitor_->trace())
        text += link::TraceLine(entry) + "\r\n";
    const std::string error = WriteFileReplacing(
        path.toStdString(), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    if (!error.empty()) {
        showError(QStringLiteral("Trace not written: %1 (%2)").arg(path, QString::fromStdString(error)));
        return;
    }
    status_->setText(QStringLiteral("Salvato: %1").arg(path));
}

} // namespace vm::remote

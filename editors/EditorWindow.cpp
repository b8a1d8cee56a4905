// The window's texts and events, and the dialogs an editor asks for.

#include "EditorBase.h"

#include "MessageBox.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

namespace vm::editors {

namespace {
const char* kConfirmPrompt = "      Are you sure?";
} // namespace

void EditorBase::retranslate() {
    if (!definition_.title.isEmpty()) setWindowTitle(msg(definition_.title));
    texts_.apply();
    applyDefaultMarks(); // the captions were set again without their marks
    initMessaggiExtra();
}

void EditorBase::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (centred_) return;
    centred_ = true;
    // The whole window when it fits, at most nine tenths of the main window (the rest scrolls).
    if (ctx_.hooks) {
        QWidget* placed = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
        const QSize frameExtra = placed->size() - size() + QSize(24, 24);
        const QSize limit = ctx_.hooks->mainWindowSize() * 0.9;
        placed->resize((root_->sizeHint() + frameExtra).boundedTo(limit).expandedTo(placed->size()));
    }
    CenterForm1();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        connect(sub, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
            if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive)) retranslate();
        });
}

void EditorBase::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if ((event->type() == QEvent::ActivationChange && isActiveWindow()) || event->type() == QEvent::LanguageChange)
        retranslate();
}

bool EditorBase::confirm(const QString& buttonTitle) {
    const MessageAnswer answer = showMessage(
        {this, MessageIcon::Critical, MessageButtons::YesNo, QString::fromLatin1(kConfirmPrompt), buttonTitle});
    return answer != MessageAnswer::No;
}

void EditorBase::showError(const QString& text) {
    showMessage({this, MessageIcon::Critical, MessageButtons::Ok, text, windowTitle()});
}

void EditorBase::showInfo(const QString& text) {
    showMessage({this, MessageIcon::Information, MessageButtons::Ok, text, windowTitle()});
}

QPushButton* EditorBase::addButton(const QString& name, int index, const Caption& caption, QWidget* container,
                                   std::function<void()> onClick) {
    auto* button = new QPushButton(container);
    registerControl(name, index, button);
    addText(caption, [button](const QString& s) { button->setText(s); });
    const std::string control = QStringLiteral("%1(%2)").arg(name).arg(index).toStdString();
    connect(button, &QPushButton::clicked, this, [this, control, onClick = std::move(onClick)] {
        if (loading_ || closed_ || !onClick) return;
        ChangeLog::EditScope edit(ctx_.changes, {formName().toStdString(), control});
        onClick();
    });
    return button;
}

void EditorBase::everyMs(int ms, std::function<void()> tick) {
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, tick = std::move(tick)] {
        if (!closed_) tick();
    });
    timer->start(ms);
}

QString EditorBase::chooseFile(bool save, const QString& title, const QString& filter, const QString& suggested) {
    if (!ctx_.hooks) return {};
    return ctx_.hooks->chooseFile({save, title, filter, suggested});
}

} // namespace vm::editors

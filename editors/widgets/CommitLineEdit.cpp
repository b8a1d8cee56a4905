#include "CommitLineEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

namespace vm::editors {

// A focus change caused by a message box, another window or program, a menu or a context menu is not the
// user leaving the box.
bool CommitLineEdit::movesToAnotherControl(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
           reason != Qt::MenuBarFocusReason;
}

CommitLineEdit::CommitLineEdit(QWidget* parent) : QLineEdit(parent) {
    flash_.setSingleShot(true);
    connect(&flash_, &QTimer::timeout, this, [this] { emit commitRequested(text()); });
}

QColor CommitLineEdit::windowColour() const {
    return QApplication::palette(this).color(QPalette::Base);
}

void CommitLineEdit::setBackground(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::Base, colour);
    setPalette(p);
}

void CommitLineEdit::showCommitted(const QString& text) {
    tag_ = text;
    // A box that keeps its text on focus shows the new value unless the user has typed into it since.
    if (!hasFocus() || (!emptyOnFocus_ && !isModified())) setText(text);
}

void CommitLineEdit::acceptCommit() {
    tag_ = text();
    setModified(false);
    setBackground(windowColour());
}

void CommitLineEdit::rejectCommit() {
    setBackground(kRed);
}

void CommitLineEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!emptyOnFocus_ || !movesToAnotherControl(event->reason())) return;
    tag_ = text();
    clear();
    setBackground(kWhite);
}

void CommitLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (!emptyOnFocus_ || !movesToAnotherControl(event->reason())) return;
    if (flash_.isActive()) {
        // Enter was pressed: leaving during the flash commits at once instead of losing the value.
        flash_.stop();
        emit commitRequested(text());
    }
    setText(tag_);
    setBackground(kWhite);
}

void CommitLineEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (blocked_ && blocked_()) {
        if (!enter) QLineEdit::keyPressEvent(event);
        return;
    }
    if (!enter) {
        setBackground(windowColour());
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (flash_.isActive()) return; // one commit at a time
    setBackground(kGreen);
    flash_.start(flashMs_);
}

} // namespace vm::editors

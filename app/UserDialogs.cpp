#include "UserDialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace vm::app {

namespace {
QMessageBox::Icon toQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

QString runFileDialog(QWidget* parent, const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title, request.folder, request.filter);
    dialog.setAcceptMode(mode);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.defaultExtension.isEmpty()) dialog.setDefaultSuffix(request.defaultExtension);
    // A wildcard initial name only shows the filter; the user types the real name.
    if (!request.initialName.isEmpty() && !request.initialName.contains(u'*'))
        dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}
} // namespace

void QtUserDialogs::message(const QString& text, MessageIcon icon, const QString& title) {
    QMessageBox box(toQt(icon), title, text, QMessageBox::Ok, parent_);
    box.exec();
}

bool QtUserDialogs::askRetry(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Retry | QMessageBox::Cancel, parent_);
    return box.exec() == QMessageBox::Retry;
}

QString QtUserDialogs::openFile(const FileDialogRequest& request) {
    return runFileDialog(parent_, request, QFileDialog::AcceptOpen);
}

QString QtUserDialogs::saveFile(const FileDialogRequest& request) {
    // QFileDialog asks before overwriting an existing file and requires an existing folder by default.
    return runFileDialog(parent_, request, QFileDialog::AcceptSave);
}

std::optional<QString> QtUserDialogs::askText(const QString& text, const QString& title,
                                              const QString& initial) {
    bool ok = false;
    const QString typed = QInputDialog::getText(parent_, title, text, QLineEdit::Normal, initial, &ok);
    return ok ? std::optional<QString>(typed) : std::nullopt;
}

} // namespace vm::app

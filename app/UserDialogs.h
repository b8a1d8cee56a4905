#pragma once
// Message boxes and file dialogs of the main window behind one small interface, so that tests can answer
// them without a modal dialog ever blocking the event loop.

#include <QString>

#include <optional>

class QWidget;

namespace vm::app {

// The icon styles of the program's message boxes.
enum class MessageIcon { Critical, Exclamation, Information };

struct FileDialogRequest {
    QString title;
    QString initialName;      // "*.prm" for the save dialog, empty for the open dialog
    QString defaultExtension; // without the dot, may be empty
    QString filter;           // Qt filter text, e.g. "Configurazione(*.prm)"
    QString folder;           // where the dialog starts
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    virtual void message(const QString& text, MessageIcon icon, const QString& title) = 0;
    // Retry/Cancel question; true for Retry.
    virtual bool askRetry(const QString& text, const QString& title) = 0;
    // The chosen path, or an empty text when the dialog was cancelled.
    virtual QString openFile(const FileDialogRequest& request) = 0;
    virtual QString saveFile(const FileDialogRequest& request) = 0;
    // A line of text (the technician's name); nothing when cancelled.
    virtual std::optional<QString> askText(const QString& text, const QString& title,
                                           const QString& initial) = 0;
};

// The real dialogs (QMessageBox, QFileDialog) with the main window as parent.
class QtUserDialogs final : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* parent) : parent_(parent) {}
    void message(const QString& text, MessageIcon icon, const QString& title) override;
    bool askRetry(const QString& text, const QString& title) override;
    QString openFile(const FileDialogRequest& request) override;
    QString saveFile(const FileDialogRequest& request) override;
    std::optional<QString> askText(const QString& text, const QString& title,
                                   const QString& initial) override;

private:
    QWidget* parent_;
};

} // namespace vm::app

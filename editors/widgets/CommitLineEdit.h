#pragma once
// A numeric or text box whose value is committed with Enter only. Focus empties the box for typing and
// remembers the last committed text; Enter flashes the box green for a moment and then asks for the commit;
// leaving the box without a commit brings the last committed text back.

#include <QColor>
#include <QLineEdit>
#include <QTimer>

#include <functional>

namespace vm::editors {

class CommitLineEdit : public QLineEdit {
    Q_OBJECT
public:
    static inline const QColor kWhite{255, 255, 255};
    static inline const QColor kGreen{0, 255, 0};
    static inline const QColor kRed{255, 0, 0};

    explicit CommitLineEdit(QWidget* parent = nullptr);

    // The text of the last commit (the box's Tag).
    QString lastCommitted() const { return tag_; }
    // Shows a value that arrived from the board or the image. While the user is typing, only the committed
    // text changes, so the typing is not lost.
    void showCommitted(const QString& text);

    // The check passed: the typed text becomes the committed text.
    void acceptCommit();
    // The check failed: the box turns red and keeps the typed text until it loses focus.
    void rejectCommit();

    void setFlashMs(int ms) { flashMs_ = ms; }
    // When true (default) focus empties the box and leaving it restores the committed text.
    void setEmptyOnFocus(bool on) { emptyOnFocus_ = on; }
    // Enter is ignored while this returns true (the window is showing delivered values).
    void setBlocked(std::function<bool()> blocked) { blocked_ = std::move(blocked); }

    // True when a focus change of this reason is the user moving to another control of the program, not a
    // menu, a context menu, a message box or another program taking the focus for a while.
    static bool movesToAnotherControl(Qt::FocusReason reason);

    QColor backgroundColour() const { return palette().color(QPalette::Base); }
    bool isFlashing() const { return flash_.isActive(); }

signals:
    // Enter was pressed and the flash is over: check and write `typed`, then call acceptCommit or
    // rejectCommit.
    void commitRequested(const QString& typed);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setBackground(const QColor& colour);
    QColor windowColour() const;

    QString tag_;
    QTimer flash_;
    int flashMs_ = 150;
    bool emptyOnFocus_ = true;
    std::function<bool()> blocked_;
};

} // namespace vm::editors

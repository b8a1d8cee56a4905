#pragma once
// Edit > Undo and Redo: every edit of the change log is a command on Qt's undo stack. Undo writes the values
// an edit replaced back through the edits' own write path (image, mirror, board), so the open windows show
// them; Redo writes the edit's values again. Online an undo counts only once the board has acknowledged
// it: when the board does not answer in time, the user is told and the edit stays to be undone.

#include "ChangeLog.h"
#include "EditorContext.h"

#include <QObject>
#include <QPointer>
#include <QUndoStack>

namespace vm::editors {

class EditHistory : public QObject, private ChangeLog::Listener {
    Q_OBJECT
public:
    EditHistory(EditorContext& ctx, QObject* parent = nullptr);
    ~EditHistory() override;

    QUndoStack& stack() { return stack_; }
    void undo();
    void redo();
    // Forgets every edit (a new log, a connect or a disconnect: the values underneath changed).
    void clear();

    // How long the board has to acknowledge an undo (tests shorten it).
    void setAcknowledgeLimitMs(int ms) { acknowledgeLimitMs_ = ms; }

signals:
    void changed(); // what Undo and Redo offer changed

private:
    class EditCommand;
    void editDone(int edit, ChangeKind kind) override;
    void logStarted(int) override { clear(); }
    void checkAcknowledged(EditCommand* command, int position);

    EditorContext& ctx_;
    QUndoStack stack_;
    int acknowledgeLimitMs_ = 5000; // five reply time-outs of the link
    bool replaying_ = false;        // an undo or redo is writing: its writes are no new edit
};

} // namespace vm::editors

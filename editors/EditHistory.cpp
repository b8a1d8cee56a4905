#include "EditHistory.h"

#include "Catalogue.h"
#include "MessageBox.h"
#include "ValueWrite.h"

#include <QTimer>

#include <algorithm>
#include <utility>

namespace vm::editors {

namespace {
QString paramName(int index) {
    const catalogue::ParamInfo* info = catalogue::find(index);
    return info ? QString::fromLatin1(info->name.data(), static_cast<qsizetype>(info->name.size()))
                : QStringLiteral("parameter %1").arg(index);
}
} // namespace

// One edit: the changes it made, written back (undo) or again (redo) in one edit of the log.
class EditHistory::EditCommand : public QUndoCommand {
public:
    EditCommand(EditHistory& history, std::vector<Change> changes)
        : history_(history), changes_(std::move(changes)) {
        const Change& first = changes_.front();
        QString text = paramName(first.index);
        const auto others = std::count_if(changes_.begin(), changes_.end(),
                                          [&](const Change& c) { return c.index != first.index; });
        if (others > 0) text += QStringLiteral(" and %1 more").arg(others);
        setText(text + QStringLiteral(" (%1)").arg(QString::fromStdString(first.window)));
    }

    void undo() override { write(true); }
    void redo() override {
        if (std::exchange(pushed_, false)) return; // the edit itself has written its values already
        write(false);
    }
    // The log's changes that the last undo or redo made.
    const std::vector<int>& lastWrites() const { return lastWrites_; }

private:
    void write(bool back) {
        ChangeLog* log = history_.ctx_.changes;
        const Change& first = changes_.front();
        ChangeLog::EditScope scope(log,
                                   {first.window, first.control, back ? ChangeKind::Undo : ChangeKind::Redo});
        const std::size_t before = log ? log->changes().size() : 0;
        const auto put = [&](const Change& c, const ParamData& value) {
            WriteValue(history_.ctx_, {c.index, c.mirror, c.width, value}, first.window, nullptr);
        };
        // Back in reverse order, so that a parameter written twice in the edit gets its first value back.
        if (back)
            std::for_each(changes_.rbegin(), changes_.rend(), [&](const Change& c) { put(c, c.before); });
        else
            for (const Change& c : changes_)
                put(c, c.after);
        lastWrites_.clear();
        for (std::size_t i = before; log && i < log->changes().size(); ++i)
            lastWrites_.push_back(log->changes()[i].id);
    }

    EditHistory& history_;
    std::vector<Change> changes_;
    std::vector<int> lastWrites_;
    bool pushed_ = true;
};

EditHistory::EditHistory(EditorContext& ctx, QObject* parent) : QObject(parent), ctx_(ctx) {
    if (ctx_.changes) ctx_.changes->addListener(this);
    connect(&stack_, &QUndoStack::indexChanged, this, &EditHistory::changed);
    connect(&stack_, &QUndoStack::cleanChanged, this, &EditHistory::changed);
}

EditHistory::~EditHistory() {
    if (ctx_.changes) ctx_.changes->removeListener(this);
}

void EditHistory::editDone(int edit, ChangeKind kind) {
    if (kind != ChangeKind::Edit || !ctx_.changes) return; // an undo or redo is the stack's own
    std::vector<Change> changes;
    for (const Change* c : ctx_.changes->changesOf(edit))
        changes.push_back(*c);
    if (!changes.empty()) stack_.push(new EditCommand(*this, std::move(changes)));
}

void EditHistory::undo() {
    if (!stack_.canUndo()) return;
    const int position = stack_.index() - 1;
    auto* command = static_cast<EditCommand*>(const_cast<QUndoCommand*>(stack_.command(position)));
    stack_.undo();
    if (!ctx_.state.Online) return;
    QTimer::singleShot(acknowledgeLimitMs_, this,
                       [this, command, position] { checkAcknowledged(command, position); });
}

void EditHistory::redo() {
    stack_.redo();
}

void EditHistory::clear() {
    stack_.clear();
}

// An undo the board has not acknowledged does not count: the edit is written again and stays on the stack.
void EditHistory::checkAcknowledged(EditCommand* command, int position) {
    // The stack moved on meanwhile (another undo, a redo, a new edit, cleared): nothing to take back here.
    if (stack_.index() != position || stack_.command(position) != command || !ctx_.changes) return;
    const bool acknowledged =
        std::all_of(command->lastWrites().begin(), command->lastWrites().end(), [&](int id) {
            const Change* c = ctx_.changes->find(id);
            return c && c->state != ChangeState::Sent;
        });
    if (acknowledged) return;
    showMessage(
        {nullptr, MessageIcon::Exclamation, MessageButtons::Ok,
         QStringLiteral("The board has not acknowledged the undo of %1. The edit stays in place and on the "
                        "undo list: undo it again when the board answers.")
             .arg(command->text()),
         QStringLiteral("Undo")});
    if (stack_.index() == position && stack_.command(position) == command) stack_.redo();
}

} // namespace vm::editors

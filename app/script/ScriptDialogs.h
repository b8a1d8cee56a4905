#pragma once
// The message boxes and file dialogs while a script runs: none of them ever waits for a person. Every
// message box is printed as "message: TITLE: TEXT" and takes the next queued answer, or its default button
// when none is queued; every file dialog takes the next queued path, or is cancelled when none is queued.

#include "MessageBox.h"
#include "UserDialogs.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <utility>

class QTextStream;

namespace vm::script {

enum class Answer { Yes, No, Ok, Cancel, Retry };
std::optional<Answer> AnswerFromWord(const QString& word);

class ScriptDialogs final : public app::UserDialogs {
public:
    explicit ScriptDialogs(QTextStream& out) : out_(out) {}

    void queueAnswer(Answer answer) { answers_.push_back(answer); }
    void queueFile(const QString& path) { files_.push_back(path); }
    void queueText(const QString& text) { texts_.push_back(text); }

    // app::UserDialogs
    void message(const QString& text, app::MessageIcon icon, const QString& title) override;
    bool askRetry(const QString& text, const QString& title) override;
    QString openFile(const app::FileDialogRequest& request) override;
    QString saveFile(const app::FileDialogRequest& request) override;
    std::optional<QString> askText(const QString& text, const QString& title,
                                   const QString& initial) override;
    // The editors' message boxes (see editors::setMessageHandler).
    editors::MessageAnswer editorMessage(const editors::MessageRequest& request);

    // "TITLE: TEXT" of every message shown since the last takeShown(), line breaks turned into blanks.
    QStringList takeShown() { return std::exchange(shown_, {}); }
    const QStringList& shown() const { return shown_; }
    // Every message box of the run so far, and the text of the last one ("TITLE: TEXT").
    qsizetype shownCount() const { return shownCount_; }
    const QString& lastShown() const { return lastShown_; }
    // A queued answer that was not a button of the box it went to; empty when there was none.
    QString takeProblem() { return std::exchange(problem_, {}); }
    // Called after every message box, for whoever waits on one.
    void setOnShown(std::function<void()> onShown) { onShown_ = std::move(onShown); }

private:
    Answer answer(const QString& title, const QString& text, std::initializer_list<Answer> buttons);

    QTextStream& out_;
    std::deque<Answer> answers_;
    std::deque<QString> files_;
    std::deque<QString> texts_;
    QStringList shown_;
    qsizetype shownCount_ = 0;
    QString lastShown_;
    QString problem_;
    std::function<void()> onShown_;
};

} // namespace vm::script

#include "ScriptDialogs.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

namespace vm::script {

namespace {
const char* const kWords[] = {"yes", "no", "ok", "cancel", "retry"};

QString wordOf(Answer a) {
    return QString::fromLatin1(kWords[static_cast<int>(a)]);
}
} // namespace

std::optional<Answer> AnswerFromWord(const QString& word) {
    for (int i = 0; i < 5; ++i)
        if (word.compare(QLatin1String(kWords[i]), Qt::CaseInsensitive) == 0) return static_cast<Answer>(i);
    return std::nullopt;
}

Answer ScriptDialogs::answer(const QString& title, const QString& text,
                             std::initializer_list<Answer> buttons) {
    QString oneLine = text;
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
    out_ << "message: " << title << ": " << oneLine << Qt::endl;
    lastShown_ = title + ": " + oneLine;
    shown_.append(lastShown_);
    ++shownCount_;

    // The first button is the box's default one.
    Answer chosen = *buttons.begin();
    if (!answers_.empty()) {
        const Answer queued = answers_.front();
        answers_.pop_front();
        if (std::find(buttons.begin(), buttons.end(), queued) != buttons.end())
            chosen = queued;
        else if (problem_.isEmpty())
            problem_ = "the answer \"" + wordOf(queued) + "\" does not fit the message \"" + title + ": " +
                       oneLine + "\"";
    }
    if (onShown_) onShown_();
    return chosen;
}

void ScriptDialogs::message(const QString& text, app::MessageIcon, const QString& title) {
    answer(title, text, {Answer::Ok});
}

bool ScriptDialogs::askRetry(const QString& text, const QString& title) {
    return answer(title, text, {Answer::Retry, Answer::Cancel}) == Answer::Retry;
}

editors::MessageAnswer ScriptDialogs::editorMessage(const editors::MessageRequest& request) {
    if (request.buttons == editors::MessageButtons::Ok) {
        answer(request.title, request.text, {Answer::Ok});
        return editors::MessageAnswer::Ok;
    }
    return answer(request.title, request.text, {Answer::Yes, Answer::No}) == Answer::No
               ? editors::MessageAnswer::No
               : editors::MessageAnswer::Yes;
}

QString ScriptDialogs::openFile(const app::FileDialogRequest&) {
    if (files_.empty()) return {};
    const QString path = files_.front();
    files_.pop_front();
    return QFileInfo(path).absoluteFilePath();
}

QString ScriptDialogs::saveFile(const app::FileDialogRequest& request) {
    QString path = openFile(request);
    // As the save dialog does, a name typed without an extension gets the default one.
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty() && !request.defaultExtension.isEmpty())
        path += "." + request.defaultExtension;
    return path;
}

// An input box takes the next queued text, or is cancelled when none is queued; it is printed as a message.
std::optional<QString> ScriptDialogs::askText(const QString& text, const QString& title, const QString&) {
    out_ << "input: " << title << ": " << text << Qt::endl;
    if (texts_.empty()) return std::nullopt;
    const QString typed = texts_.front();
    texts_.pop_front();
    return typed;
}

} // namespace vm::script

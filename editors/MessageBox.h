#pragma once
// Every message box of the editors goes through showMessage, so that tests can answer it without a modal
// window (setMessageHandler).

#include <QString>

#include <functional>

class QWidget;

namespace vm::editors {

enum class MessageIcon { Critical, Exclamation, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct MessageRequest {
    QWidget* parent = nullptr;
    MessageIcon icon = MessageIcon::Critical;
    MessageButtons buttons = MessageButtons::Ok;
    QString text;
    QString title;
};

using MessageHandler = std::function<MessageAnswer(const MessageRequest&)>;

// Shows the box (a modal QMessageBox unless a handler is set) and returns the answer.
MessageAnswer showMessage(const MessageRequest& request);
// Replaces the handler; an empty handler restores the real message box. Returns the previous handler.
MessageHandler setMessageHandler(MessageHandler handler);

} // namespace vm::editors

#include "MessageBox.h"

#include <QMessageBox>

namespace vm::editors {

namespace {
MessageHandler& handler() {
    static MessageHandler instance;
    return instance;
}

MessageAnswer showModal(const MessageRequest& r) {
    const QMessageBox::Icon icon = r.icon == MessageIcon::Critical      ? QMessageBox::Critical
                                   : r.icon == MessageIcon::Exclamation ? QMessageBox::Warning
                                                                        : QMessageBox::Information;
    const auto buttons =
        r.buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    QMessageBox box(icon, r.title, r.text, buttons, r.parent);
    const int answer = box.exec();
    if (r.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    return answer == QMessageBox::No ? MessageAnswer::No : MessageAnswer::Yes;
}
} // namespace

MessageAnswer showMessage(const MessageRequest& request) {
    return handler() ? handler()(request) : showModal(request);
}

MessageHandler setMessageHandler(MessageHandler h) {
    MessageHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

} // namespace vm::editors

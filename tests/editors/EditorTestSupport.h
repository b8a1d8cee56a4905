#pragma once
// Shared pieces of the editor tests: a program state with hand-made parameter cells, a main window that
// records what the editors ask of it, and a message handler that answers boxes without showing them.

#include "EditorBase.h"
#include "EditorContext.h"
#include "FormList.h"
#include "MessageBox.h"
#include "Messages.h"
#include "ProgramState.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QSize>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

namespace vm::editors::test {

// A parameter cell as a map record would fill it: board address, width (1..4 bytes, or 5..16 for a text).
inline void fillParam(ProgramState& state, int index, int address, int width) {
    const std::array<std::uint8_t, kMapRecordSize> record{static_cast<std::uint8_t>(address >> 8),
                                                          static_cast<std::uint8_t>(address & 0xFF),
                                                          static_cast<std::uint8_t>(0x50 | (width - 1))};
    state.FillCellFromMapRecord(index, 0, record);
}

inline int watchCount(const ProgramState& state, int index) {
    return state.cell(index, 0).at(CellPos::WatchCount);
}
inline bool writePending(const ProgramState& state, int index) {
    return state.cell(index, 0).has(WritePending);
}

class RecordingHooks : public MainWindowHooks {
public:
    void disableMenus() override { calls << QStringLiteral("disableMenus"); }
    void enableMenus() override { calls << QStringLiteral("enableMenus"); }
    void setMenuEnabled(const QString& entry, bool enabled) override {
        calls << entry + (enabled ? QStringLiteral(" on") : QStringLiteral(" off"));
    }
    QSize mainWindowSize() const override { return {1200, 900}; }
    QStringList calls;
};

// Answers every box with `answer` and keeps what was asked.
class MessageRecorder {
public:
    MessageRecorder() {
        previous_ = setMessageHandler([this](const MessageRequest& r) {
            requests.push_back(r);
            return r.buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
        });
    }
    ~MessageRecorder() { setMessageHandler(std::move(previous_)); }
    std::vector<MessageRequest> requests;
    MessageAnswer answer = MessageAnswer::Yes;

private:
    MessageHandler previous_;
};

class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() {
        state.BoardPresent[0] = true;
        EditorBase::setCommitFlashMs(0);
    }
    // Runs the pending timers (the commit flash) and events.
    static void settle() {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
    std::uint8_t& image(int address) { return state.ConfigImage[static_cast<std::size_t>(address)]; }
    template <class W> static W* get(EditorBase& e, const char* name, int i = 0) {
        auto* w = qobject_cast<W*>(e.control(QString::fromLatin1(name), i));
        EXPECT_NE(w, nullptr) << name << "(" << i << ")";
        return w;
    }
    static void focus(QWidget* w, QEvent::Type type) {
        QFocusEvent event(type, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w, &event);
    }
    // Tabs into the box, types `text` and ends with `key`.
    static void type(QWidget* box, const QString& text, Qt::Key key = Qt::Key_Return) {
        focus(box, QEvent::FocusIn);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, key);
    }

    ProgramState state;
    Messages messages;
    FormList forms;
    RecordingHooks hooks;
    EditorContext ctx{state, messages, forms, &hooks};
    MessageRecorder boxes;
};

} // namespace vm::editors::test

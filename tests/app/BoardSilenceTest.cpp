// A board that stops answering while a window fills: the technician is told within seconds, and the window
// shows nothing for the values that did not come.

#include "AppTestSupport.h"

#include "EditorBase.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace vm::app {
namespace {

class BoardSilence : public test::AppTest {};

TEST_F(BoardSilence, AWindowFillThatGetsNoRepliesIsReported) {
    bool silent = false;
    MainWindow& w = start(PortChoice::Simulated, [&] {
        auto port = std::make_unique<test::SimBoardPort>(folder.dir());
        port->board().faultHook = [&](const sim::Frame&) {
            return silent ? sim::ReplyFault::Drop : sim::ReplyFault::None;
        };
        return port;
    });
    w.SmuConnect_Click();
    ASSERT_TRUE(waitState(AppState::Connected, 60000));
    ASSERT_TRUE(waitClosed("FrmRead"));

    silent = true;
    editors::EditorBase* tempi = w.openForm("FrmTempi");
    ASSERT_TRUE(tempi);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(WaitUntil([&] { return dialogs().shown("The board stopped answering"); }, 20000));
    EXPECT_LT(clock.elapsed(), 15000);
    EXPECT_EQ(dialogs().messages.size(), 1u);
    EXPECT_EQ(w.appState(), AppState::Connected); // the link goes on asking
    for (const QLabel* label : tempi->findChildren<QLabel*>(QRegularExpression("_value$")))
        EXPECT_EQ(label->text().toStdString(), "") << label->objectName().toStdString();
}

} // namespace
} // namespace vm::app

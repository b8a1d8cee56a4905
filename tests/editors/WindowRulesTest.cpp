// Rules of single windows that a script cannot drive: focus changes that are no user's, the clock copy
// against a board that acknowledges when the test says so, enabling of value labels, and the chart's ring.

#include "EditorTestSupport.h"

#include "EditorRegistry.h"
#include "FrmGrafico.h"
#include "commercial/FrmOrologio.h"
#include "widgets/CommitLineEdit.h"

#include "Languages.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>

namespace vm::editors::test {
namespace {

class WindowRulesTest : public EditorFixture {
protected:
    std::unique_ptr<EditorBase> open(const char* form) {
        std::unique_ptr<EditorBase> e(createEditor(QString::fromLatin1(form), ctx));
        EXPECT_NE(e, nullptr) << form;
        return e;
    }
    // The board takes the value written into the cell and the link delivers it, as after its acknowledgement.
    void acknowledge(EditorBase& e, int index) {
        ParamCell& cell = state.cell(index, 0);
        cell.at(CellPos::Status) = static_cast<std::uint8_t>((cell.status() | Valid) & ~WritePending);
        e.deliver(index, state.ParamValue(index, 0));
    }
    // The cells of `indexes` with a write waiting.
    std::vector<int> writing(std::initializer_list<int> indexes) const {
        std::vector<int> out;
        for (int index : indexes)
            if (writePending(state, index)) out.push_back(index);
        return out;
    }
    static void sendFocusOut(QWidget* w, Qt::FocusReason reason) {
        QFocusEvent event(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(w, &event);
    }
};

// A half-typed code stays in its box while a menu, a context menu, the menu bar or another program has the
// focus; moving to another control commits it, as Enter does.
TEST_F(WindowRulesTest, PasswordIsCommittedOnlyWhenTheUserMovesToAnotherControl) {
    fillParam(state, 1857, 745, 3);
    fillParam(state, 6640, 11310, 3);
    state.Online = true;
    auto e = open("FrmPassword");
    auto* box = get<CommitLineEdit>(*e, "Text1", 0);
    focus(box, QEvent::FocusIn);
    QTest::keyClicks(box, "123");
    for (Qt::FocusReason reason :
         {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason, Qt::MenuBarFocusReason}) {
        sendFocusOut(box, reason);
        EXPECT_FALSE(writePending(state, 1857)) << "focus reason " << reason;
        EXPECT_EQ(box->text(), "123");
    }
    QTest::keyClicks(box, "45");
    sendFocusOut(box, Qt::TabFocusReason);
    EXPECT_TRUE(writePending(state, 1857));
    EXPECT_EQ(state.ParamValue(1857, 0), 12345);
    EXPECT_EQ(state.ParamValue(6640, 0), 12345);
}

// "Copy Pc Time" at 12:34:58.5 on Sunday 1 March 2026: it waits for 12:35, then writes seconds, minutes,
// hours, weekday, day, month and year, each alone and only once the board has acknowledged the one before;
// then it reads the board's hours and minutes back. A board a minute off is set again with the new time.
TEST_F(WindowRulesTest, CopyPcTimeWritesOneFieldAtATimeAndChecksTheMinute) {
    const std::initializer_list<int> clock = {6690, 6691, 6692, 6693, 6694, 6695, 6696};
    for (int index : clock)
        fillParam(state, index, 3000 + index - 6690, 1);
    state.Online = true;
    QElapsedTimer elapsed;
    int offsetMs = 0;
    FrmOrologio::setPcClock([&] {
        return QDateTime(QDate(2026, 3, 1), QTime(12, 34, 58, 500)).addMSecs(elapsed.elapsed() + offsetMs);
    });
    auto e = open("FrmOrologio");
    auto* window = static_cast<FrmOrologio*>(e.get());
    elapsed.start();
    window->copyPcTime();
    EXPECT_TRUE(window->copying());
    EXPECT_TRUE(writing(clock).empty()) << "nothing goes out at seconds 58 and 59";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !writing(clock).empty(); }, 3000));
    EXPECT_GE(elapsed.elapsed(), 1500);

    const std::pair<int, int> expected[] = {{6690, 0}, {6692, 35}, {6691, 12}, {6696, 1},
                                            {6693, 1}, {6694, 3},  {6695, 26}};
    for (const auto& [index, value] : expected) {
        ASSERT_EQ(writing(clock), std::vector<int>{index});
        EXPECT_EQ(state.ParamValue(index, 0), value) << index;
        acknowledge(*e, index);
    }
    EXPECT_TRUE(writing(clock).empty());
    // Read back: the board's clock is asked for again.
    EXPECT_FALSE(state.cell(6692, 0).has(Valid));
    EXPECT_FALSE(state.cell(6691, 0).has(Valid));
    acknowledge(*e, 6691);
    // Meanwhile the computer's clock went on to 12:36:05: the board's 12:35 is a minute off.
    offsetMs = 65000;
    acknowledge(*e, 6692);
    ASSERT_EQ(writing(clock), std::vector<int>{6690});
    EXPECT_EQ(state.ParamValue(6690, 0), 5);
    for (int index : {6690, 6692, 6691, 6696, 6693, 6694, 6695}) {
        ASSERT_EQ(writing(clock), std::vector<int>{index});
        acknowledge(*e, index);
    }
    EXPECT_EQ(state.ParamValue(6692, 0), 36);
    acknowledge(*e, 6691);
    acknowledge(*e, 6692);
    EXPECT_FALSE(window->copying());
    EXPECT_TRUE(boxes.requests.empty());
    FrmOrologio::setPcClock({});
}

// "Abilita Tasto" off: the key's three values cannot be changed, and their value labels say so too.
TEST_F(WindowRulesTest, KeyValueLabelsFollowTheKey) {
    fillParam(state, 1388, 899, 1); // promotion mode 1: the promotion key
    fillParam(state, 1458, 900, 1); // key 1's type (254: promotion key)
    state.cell(1388, 0).at(CellPos::Value) = 1;
    state.Online = true;
    auto e = open("FrmPromo");
    e->deliver(1388, 1.0);
    for (int index : {1413, 1414, 1415}) // the single set of values of models below 4
        e->deliver(index, 5.0);
    e->deliver(1458, 0.0);
    for (int i = 28; i <= 30; ++i) {
        EXPECT_FALSE(e->control("HScroll1", i)->isEnabled()) << i;
        EXPECT_FALSE(e->valueLabel("HScroll1", i)->isEnabled()) << i;
    }
    state.cell(1458, 0).at(CellPos::Value) = 254;
    e->deliver(1458, 254.0);
    for (int i = 28; i <= 30; ++i) {
        EXPECT_TRUE(e->control("HScroll1", i)->isEnabled()) << i;
        EXPECT_TRUE(e->valueLabel("HScroll1", i)->isEnabled()) << i;
    }
}

// A custom message is edited where it stands: focus keeps the box's text, and a value arriving while the
// user types does not replace the typing.
TEST_F(WindowRulesTest, MessageBoxesKeepTheirTextOnFocus) {
    auto e = open("FrmMessCust1");
    e->show();
    QApplication::setActiveWindow(e.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(e.get()));
    auto* box = get<CommitLineEdit>(*e, "Text3");
    box->showCommitted("HELLO");
    box->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(box->hasFocus());
    EXPECT_EQ(box->text(), "HELLO");
    box->end(false);
    QTest::keyClicks(box, " WORLD");
    box->showCommitted("OTHER");
    EXPECT_EQ(box->text(), "HELLO WORLD");
}

// With the English language file loaded the telemetry window speaks English (the service codes and the totals
// are checked through scripts).
TEST_F(WindowRulesTest, TelemetryWindowSpeaksTheChosenLanguage) {
    ASSERT_TRUE(LoadLanguageFile(std::filesystem::path(VM_SOURCE_DIR) / "data/lang/English.lng", messages));
    auto e = open("FrmGSM");
    QStringList texts = {e->windowTitle()};
    for (const QLabel* l : e->findChildren<QLabel*>())
        texts << l->text();
    for (const QAbstractButton* b : e->findChildren<QAbstractButton*>())
        texts << b->text();
    for (const QAction* a : e->findChildren<QAction*>())
        texts << a->text();
    for (const char* english : {"GSM data", "SMTP server", "GPRS password", "Sender name",
                                "EMAIL sending time", "Clearing time", "Show passwords", "Write all"})
        EXPECT_TRUE(texts.contains(QString::fromLatin1(english))) << english;
    for (const char* italian :
         {"Dati GSM", "Server SMTP", "Nome Mittente", "Mostra Password", "Scrivi Tutto"})
        EXPECT_FALSE(texts.contains(QString::fromLatin1(italian))) << italian;
}

// A day of samples at one a second is kept: the oldest goes when a new one comes, and the others stay where
// they are (a sample after the first day used to move all 86,400 before it).
TEST_F(WindowRulesTest, ChartKeepsADayOfSamplesInARing) {
    state.SlaveType1 = 1; // a drink unit: its boiler 1 temperature is charted
    state.Online = true;
    auto e = open("FrmGrafico");
    auto* chart = static_cast<remote::FrmGrafico*>(e.get());
    remote::ChartSettings settings;
    settings.spanSeconds = 0; // the chart keeps no points; only the samples count here
    chart->applySettings(settings);
    chart->setPaused(true);
    e->deliver(11800, 925.0);
    for (std::size_t i = 0; i < remote::FrmGrafico::kMaxSamples; ++i)
        chart->takeSample();
    const remote::FrmGrafico::Sample* newest = &chart->samples().back();
    const remote::FrmGrafico::Sample* hundredAndFirst = &chart->samples()[100];
    for (int i = 0; i < 100; ++i)
        chart->takeSample();
    ASSERT_EQ(chart->samples().size(), remote::FrmGrafico::kMaxSamples);
    EXPECT_EQ(&chart->samples().front(), hundredAndFirst);
    EXPECT_EQ(&chart->samples()[remote::FrmGrafico::kMaxSamples - 101], newest);
}

} // namespace
} // namespace vm::editors::test

// Every window against a slow board: whatever a technician sets or clicks while the board's values are still
// arriving must leave the board exactly as the same steps taken after every value had arrived. A control
// that writes bytes the window has not read yet (the rest of a flag byte, a mask, a setting it never got)
// makes the two boards differ.
//
// Each window runs twice against its own simulated board, filled with the same random configuration so that
// no byte is zero by chance, on a hand-driven clock with replies a few hundred milliseconds apart:
//   eager:   page by page, every control that is usable while the values arrive is set or clicked once;
//   patient: page by page, every value arrives first, then the eager run's steps are repeated in order.

#include "ControlDriver.h"
#include "EditorBase.h"
#include "EditorRegistry.h"
#include "FakeTimerService.h"
#include "LinkEngine.h"
#include "MessageBox.h"
#include "RemoteWindows.h"
#include "SimulatedBoard.h"
#include "SimulatedPort.h"

#include <QAbstractSlider>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <random>
#include <set>

namespace vm::app {
namespace {

using editors::EditorBase;

inline const std::filesystem::path kMapsDir = VM_BIN_DIR;
constexpr int kReplyMs = 300;         // the board's reaction time: values come one by one
constexpr int kStepMs = 300;          // the technician acts this often while values arrive
constexpr int kPageLimitMs = 30000;   // a page whose values never all arrive is left after this
constexpr int kPatienceMs = 120000;   // the patient run waits this long for every value (a straggler the
                                      // pump reaches on its round through the table takes a while)
constexpr std::uint32_t kSeed = 1234;

class Hooks : public editors::MainWindowHooks {
public:
    void disableMenus() override {}
    void enableMenus() override {}
    void setMenuEnabled(const QString&, bool) override {}
    QSize mainWindowSize() const override { return {1200, 900}; }
};

// One connected program: link, board and program state, on a hand-driven clock.
struct Session {
    Session() : board(slowBoard()), port(board, timers) {
        std::string error;
        EXPECT_TRUE(board.loadMaps(kMapsDir, error)) << error;
        randomiseConfiguration();
        engine = std::make_unique<link::LinkEngine>(state, forms, timers, observer,
                                                    link::LinkOptions{kMapsDir, "Vending Config"});
        engine->setPort(&port);
    }
    static sim::BoardSettings slowBoard() {
        sim::BoardSettings s;
        s.replyDelayMs = kReplyMs;
        return s;
    }
    // Every configuration byte random, but the unit codes and the model stay the board's: they decide the
    // menus and the pages.
    void randomiseConfiguration() {
        std::mt19937 random(kSeed);
        const sim::ParamLocator locate = board.locator();
        std::set<int> kept;
        for (int index : {4779, 4780, 4781, 4782, 11733})
            if (auto at = locate(index); at && at->space == sim::kConfigSpace) kept.insert(at->address);
        for (int a = 0; a < sim::kConfigAreaEnd; ++a) {
            const auto byte = static_cast<std::uint8_t>(random() & 0xFF);
            if (!kept.count(a)) board.memory().write(sim::kConfigSpace, static_cast<std::uint16_t>(a), byte);
        }
    }
    bool connect() {
        engine->connect(link::ConnectPurpose::Edit);
        if (!runUntil([&] { return engine->isConnected(); }, 60000)) return false;
        engine->readUnits();
        return runUntil([&] { return observer.unitsDone; }, 60000);
    }
    // Moves the clock from one due timer to the next, letting the windows handle what each delivered.
    void run(int ms) {
        const std::int64_t until = timers.nowMs() + ms;
        while (timers.pendingCount() && timers.nextDue() <= until) {
            timers.advance(timers.nextDue() - timers.nowMs());
            QCoreApplication::processEvents();
        }
        timers.advance(until - timers.nowMs());
        QCoreApplication::processEvents();
    }
    bool runUntil(const std::function<bool()>& done, int limitMs) {
        for (int t = 0; t < limitMs && !done(); t += 50)
            run(50);
        return done();
    }
    bool writesWaiting() const {
        for (int i = 1; i <= state.RecordCount[0]; ++i)
            if (state.cell(i, 0).has(WritePending)) return true;
        return engine->requestInFlight();
    }
    // Every write sent and acknowledged.
    bool drain() {
        const bool sent = runUntil([&] { return !writesWaiting(); }, 900000);
        run(2000);
        return sent;
    }

    struct Observer : link::LinkObserver {
        void unitsRead(const link::UnitReadResult&) override { unitsDone = true; }
        bool unitsDone = false;
    };

    ProgramState state;
    FormList forms;
    link::FakeTimerService timers;
    Observer observer;
    sim::SimulatedBoard board;
    sim::SimulatedPort port;
    std::unique_ptr<link::LinkEngine> engine;
    Messages messages;
    Hooks hooks;
    editors::EditorContext ctx{state, messages, forms, &hooks};
};

// One step of the technician: a control (as a script names it) and what was done to it.
struct Step {
    int page = -1;
    QString control;
    QString value; // empty: clicked
};

int outerPage(const QWidget* w, const QTabWidget* tabs) {
    for (; w && tabs; w = w->parentWidget())
        if (w->parentWidget() && w->parentWidget()->parentWidget() == tabs) return tabs->indexOf(const_cast<QWidget*>(w));
    return -1;
}

// The controls of a window as a script names them: every named control, every row of its lists and every
// action of its tool bars. Labels only show.
QStringList controlNames(const EditorBase& window) {
    QStringList names;
    for (const QString& key : window.controlKeys()) {
        const qsizetype cut = key.lastIndexOf(u'_');
        const QString name = key.left(cut), index = key.mid(cut + 1);
        QWidget* w = window.control(name, index.toInt());
        if (!w || qobject_cast<QLabel*>(w)) continue;
        if (auto* list = qobject_cast<QTreeWidget*>(w)) {
            for (int row = 0; row < list->topLevelItemCount(); ++row)
                names << QStringLiteral("%1(%2)").arg(name).arg(row);
        } else if (auto* bar = qobject_cast<QToolBar*>(w)) {
            for (QAction* a : bar->actions())
                if (!a->objectName().isEmpty()) names << QStringLiteral("%1(%2)").arg(name, a->objectName());
        } else {
            names << QStringLiteral("%1(%2)").arg(name, index);
        }
    }
    names.removeDuplicates();
    names.sort();
    return names;
}

// What the technician does to a control: a new position, the other state, a short number, a click.
QString chosenValue(const script::Control& c) {
    if (c.action || qobject_cast<QPushButton*>(c.widget)) return {};
    if (c.list) return c.list->model()->index(c.row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked ? "0" : "1";
    if (auto* s = qobject_cast<QAbstractSlider*>(c.widget)) return QString::number(s->minimum() + (s->maximum() - s->minimum()) * 3 / 7);
    if (auto* combo = qobject_cast<QComboBox*>(c.widget)) return QString::number(combo->count() - 1);
    if (qobject_cast<QRadioButton*>(c.widget)) return "1";
    if (qobject_cast<QLineEdit*>(c.widget)) return "1";
    const std::optional<QString> shown = script::ShownValue(c);
    if (shown == QStringLiteral("0")) return "1";
    if (shown == QStringLiteral("1")) return "0";
    return "1";
}

class WindowRun {
public:
    WindowRun(Session& s, const QString& form) : s_(s) {
        window_ = editors::createEditor(form, s.ctx);
        if (window_) window_->show();
    }
    ~WindowRun() { delete window_.data(); }
    EditorBase* window() const { return window_; }
    QTabWidget* tabs() const { return window_ ? window_->findChild<QTabWidget*>(QStringLiteral("SSTab1")) : nullptr; }
    int pageCount() const { return tabs() ? tabs()->count() : 1; }
    bool allArrived() const { return window_ && window_->haveArrived(window_->watchedParams()); }
    bool showPage(int page) {
        QTabWidget* t = tabs();
        if (!t) return true;
        if (!t->isTabEnabled(page)) return false;
        t->setCurrentIndex(page);
        return true;
    }
    // Finds the control on the shown page (or outside the pages) and brings its inner pages to the front.
    bool find(const QString& text, int page, script::Control& c) const {
        if (!window_ || window_->isClosed()) return false;
        const auto name = script::ParseControlName(text);
        if (!name || !script::FindControl(*window_, *name, c).isEmpty()) return false;
        if (outerPage(c.widget, tabs()) != (tabs() ? page : -1) && outerPage(c.widget, tabs()) != -1) return false;
        bool switched = false;
        return script::ShowPagesOf(c, window_, switched).isEmpty();
    }
    // One step, and the events it started (the commit after the Enter flash) before the next one.
    static QString act(const script::Control& c, const QString& value) {
        const QString why = value.isEmpty() ? script::ClickControl(c) : script::SetControl(c, value);
        QCoreApplication::processEvents();
        return why;
    }

private:
    Session& s_;
    QPointer<EditorBase> window_;
};

struct Outcome {
    std::vector<Step> steps;
    std::vector<std::uint8_t> memory; // every space of the board, side by side
    QStringList notes;
};

std::vector<std::uint8_t> boardMemory(const sim::SimulatedBoard& board) {
    std::vector<std::uint8_t> bytes;
    const sim::ParamLocator locate = board.locator();
    for (int space = 0; space < sim::kSpaceCount; ++space)
        for (int a = 0; a < sim::kSpaceSize; ++a) {
            // The board's clock and temperatures change by themselves.
            const bool live = sim::TouchesClock(locate, space, static_cast<std::uint16_t>(a), 1) ||
                              sim::TouchesTemperatures(locate, space, static_cast<std::uint16_t>(a), 1);
            bytes.push_back(live ? 0 : board.memory().read(space, static_cast<std::uint16_t>(a)));
        }
    return bytes;
}

Outcome eagerRun(const QString& form) {
    Outcome out;
    Session s;
    if (!s.connect()) {
        out.notes << "no connect";
        return out;
    }
    WindowRun w(s, form);
    std::set<QString> done;
    for (int page = 0; page < w.pageCount() && w.window(); ++page) {
        bool shown = false;
        QStringList names;
        for (int t = 0; t < kPageLimitMs && w.window() && !w.window()->isClosed(); t += kStepMs) {
            // A locked page is waited for: it may open while values still arrive.
            if (!shown && (shown = w.showPage(page))) names = controlNames(*w.window());
            for (const QString& name : shown ? names : QStringList()) {
                script::Control c;
                if (done.count(name) || !w.find(name, page, c) || !script::CheckUsable(c, w.window()).isEmpty()) continue;
                const QString value = chosenValue(c);
                done.insert(name);
                if (WindowRun::act(c, value).isEmpty()) out.steps.push_back({page, name, value});
                if (!w.window() || w.window()->isClosed()) break;
            }
            if (w.allArrived()) break; // also a page that stays locked: it is not for this machine
            s.run(kStepMs);
        }
    }
    if (!s.drain()) out.notes << "writes still waiting after 15 minutes";
    out.memory = boardMemory(s.board);
    return out;
}

Outcome patientRun(const QString& form, const std::vector<Step>& steps) {
    Outcome out;
    Session s;
    if (!s.connect()) {
        out.notes << "no connect";
        return out;
    }
    WindowRun w(s, form);
    int shown = -2;
    for (const Step& step : steps) {
        if (!w.window() || w.window()->isClosed()) break;
        // Every value in before each step: a step may have moved the window to other parameters.
        if (step.page != shown || !w.allArrived()) {
            shown = step.page;
            s.runUntil([&] { return w.showPage(step.page) && w.allArrived(); }, kPatienceMs);
            s.run(kStepMs);
        }
        script::Control c;
        if (!w.find(step.control, step.page, c)) {
            out.notes << step.control + " not found";
            continue;
        }
        if (const QString why = script::CheckUsable(c, w.window()); !why.isEmpty())
            out.notes << step.control + " was usable before its values arrived, not after: " + why;
        if (const QString why = WindowRun::act(c, step.value); !why.isEmpty()) out.notes << step.control + ": " + why;
    }
    if (!s.drain()) out.notes << "writes still waiting after 15 minutes";
    out.memory = boardMemory(s.board);
    return out;
}

// The first differing bytes, as "space:address eager/patient".
QStringList differences(const std::vector<std::uint8_t>& eager, const std::vector<std::uint8_t>& patient) {
    QStringList list;
    for (std::size_t i = 0; i < eager.size() && i < patient.size() && list.size() < 8; ++i)
        if (eager[i] != patient[i])
            list << QStringLiteral("%1:%2 %3/%4")
                        .arg(i / sim::kSpaceSize)
                        .arg(i % sim::kSpaceSize)
                        .arg(eager[i])
                        .arg(patient[i]);
    return list;
}

class EarlyClicks : public ::testing::TestWithParam<std::string> {
protected:
    static void SetUpTestSuite() { remote::registerRemoteWindows(); }
    EarlyClicks() {
        EditorBase::setCommitFlashMs(0);
        // The board answers in hand-driven time: a wait in real time must not run out on a busy machine.
        EditorBase::setBoardAnswerLimitMs(10 * 60 * 1000);
        previous_ = editors::setMessageHandler([](const editors::MessageRequest& r) {
            return r.buttons == editors::MessageButtons::YesNo ? editors::MessageAnswer::Yes : editors::MessageAnswer::Ok;
        });
    }
    ~EarlyClicks() override {
        EditorBase::setBoardAnswerLimitMs(5000);
        editors::setMessageHandler(std::move(previous_));
    }
    editors::MessageHandler previous_;
};

TEST_P(EarlyClicks, LeaveTheBoardAsIfEveryValueHadArrived) {
    const QString form = QString::fromStdString(GetParam());
    const Outcome eager = eagerRun(form);
    ASSERT_TRUE(eager.notes.isEmpty()) << eager.notes.join("; ").toStdString();
    const Outcome patient = patientRun(form, eager.steps);
    EXPECT_TRUE(patient.notes.isEmpty()) << patient.notes.join("\n").toStdString();
    if (qEnvironmentVariableIsSet("VM_EARLY_STEPS")) // the steps, to replay a failure by hand
        for (const Step& st : eager.steps)
            std::cerr << st.page << " " << st.control.toStdString() << " " << st.value.toStdString() << "\n";
    EXPECT_TRUE(eager.memory == patient.memory)
        << form.toStdString() << " after " << eager.steps.size()
        << " steps, differing bytes (space:address eager/patient): "
        << differences(eager.memory, patient.memory).join(", ").toStdString();
}

std::vector<std::string> everyWindow() {
    remote::registerRemoteWindows();
    std::vector<std::string> forms;
    for (const editors::EditorEntry& e : editors::editorEntries())
        forms.push_back(e.formName.toStdString());
    return forms;
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, EarlyClicks, ::testing::ValuesIn(everyWindow()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

} // namespace
} // namespace vm::app

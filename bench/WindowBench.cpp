// vm_bench_windows: how quickly the tool is ready. Prints, with what each figure measures:
//   - start-up to the main window shown (maps and language loaded);
//   - opening each editor window offline (until shown) and connected (until shown, and until every value it
//     watches has arrived from a simulated board with wire-time emulation);
//   - CPU used by an idle connected tool over a span (default 60 s; first argument: seconds), goal under 1 %.
// Run it headless: QT_QPA_PLATFORM=offscreen build-bench/bin/vm_bench_windows [SECONDS] [--pty] [--windows A,B]
// --pty: the board is vmboard-sim --wire-time on a pseudo-terminal and the link takes the real serial port.
// --windows: only these windows (the sales, jug and alarm views and FrmMessCust1 have a goal of 0.5 s).

#include "EditorBase.h"
#include "PtySimBoard.h"
#include "EditorRegistry.h"
#include "MainWindow.h"
#include "SerialPort.h"
#include "Screenshots.h"
#include "SimulatedPortFactory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QMdiSubWindow>

#include <sys/resource.h>

#include <cstdio>

namespace {

using vm::app::AppState;
using vm::app::MainWindow;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

bool allValuesArrived(const MainWindow& w, const vm::editors::EditorBase& editor) {
    for (int index : editor.watchedParams())
        if (!const_cast<MainWindow&>(w).state().ParamIsValid(index, 0)) return false;
    return true;
}

// Windows whose values must all be shown within this time of opening.
const QStringList kQuickWindows = {"FrmAllarmi",   "FrmBattute",     "FrmGratis",       "FrmProva", "FrmBriccoToT",
                                   "FrmBriccoProve", "FrmBriccoGratis", "FrmBricco", "FrmMessCust1"};
constexpr qint64 kQuickMs = 500;

void openEach(MainWindow& w, bool connected, const QStringList& only) {
    for (const auto& entry : vm::editors::editorEntries()) {
        if (!only.isEmpty() && !only.contains(entry.formName)) continue;
        QElapsedTimer clock;
        clock.start();
        w.openForm(entry.formName);
        auto* editor = qobject_cast<vm::editors::EditorBase*>(w.openWindow(entry.formName));
        if (!editor) continue; // a window the menus do not offer in this state
        vm::app::WaitUntil([&] { return editor->isVisible(); }, 5000);
        const qint64 shown = clock.elapsed();
        if (!connected) {
            std::printf("  %-16s offline:   shown after %5lld ms\n", qPrintable(entry.formName), shown);
        } else {
            const bool all = vm::app::WaitUntil([&] { return allValuesArrived(w, *editor); }, 60000);
            const qint64 in = clock.elapsed();
            const char* goal = !kQuickWindows.contains(entry.formName) ? ""
                               : all && in <= kQuickMs            ? " (within 0.5 s)"
                                                                  : " (over 0.5 s)";
            std::printf("  %-16s connected: shown after %5lld ms, %4zu values %s after %6lld ms%s\n",
                        qPrintable(entry.formName), shown, editor->watchedParams().size(),
                        all ? "in" : "NOT all in", in, goal);
        }
        if (auto* sub = qobject_cast<QMdiSubWindow*>(editor->parentWidget())) sub->close();
        QApplication::processEvents();
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool pty = args.removeAll("--pty") > 0;
    QStringList only;
    if (const qsizetype at = args.indexOf("--windows"); at >= 0 && at + 1 < args.size()) {
        only = args[at + 1].split(',', Qt::SkipEmptyParts);
        args.remove(at, 2);
    }
    const int idleSeconds = !args.isEmpty() ? std::max(1, args.first().toInt()) : 60;
    const std::filesystem::path dir = QApplication::applicationDirPath().toStdString();
    std::unique_ptr<vm::support::PtySimBoard> board;
    if (pty) {
        board = std::make_unique<vm::support::PtySimBoard>(vm::support::PtySimBoard::besideThisProgram(),
                                                           QStringList{"--wire-time"});
        if (board->device().isEmpty()) {
            std::fprintf(stderr, "vm_bench_windows: vmboard-sim did not start\n");
            return 1;
        }
    }

    vm::app::AppConfig config;
    config.programDir = dir;
    config.dialogs = std::make_shared<vm::app::NonBlockingDialogs>();
    config.launcher = [](const std::filesystem::path&) {};
    config.port = pty ? vm::app::PortChoice::Device : vm::app::PortChoice::Simulated;
    if (pty) {
        config.device = board->device();
    } else {
        config.portFactory = [dir] {
            vm::sim::BoardSettings settings;
            settings.wireTime = true; // replies take the time of their bytes at 19200 baud
            std::string error;
            return vm::app::MakeSimulatedPort(dir, error, settings);
        };
    }

    QElapsedTimer clock;
    clock.start();
    MainWindow w(std::move(config));
    if (!w.startUp()) {
        std::fprintf(stderr, "vm_bench_windows: the tool could not start\n");
        return 1;
    }
    w.show();
    vm::app::WaitUntil([&] { return w.isVisible(); }, 5000);
    std::printf("start-up to the main window shown: %lld ms\n", clock.elapsed());

    std::printf("opening each editor window:\n");
    openEach(w, false, only);

    clock.restart();
    w.connectClicked();
    if (!vm::app::WaitUntil([&] { return w.appState() == AppState::Connected; }, 30000)) {
        std::fprintf(stderr, "vm_bench_windows: no connection to the simulated board\n");
        return 1;
    }
    std::printf("connect to the menus enabled (wire-time board%s): %lld ms\n", pty ? " on a pseudo-terminal" : "",
                clock.elapsed());
    openEach(w, true, only);

    const double before = cpuSeconds();
    clock.restart();
    QEventLoop idle; // nothing of the bench wakes up meanwhile
    QTimer::singleShot(idleSeconds * 1000, &idle, &QEventLoop::quit);
    idle.exec();
    const double used = cpuSeconds() - before;
    const double share = 100.0 * used / (clock.elapsed() / 1000.0);
    std::printf("idle connected for %d s: %.3f s of CPU, %.2f %% of a core %s\n", idleSeconds, used, share,
                share < 1.0 ? "(within 1 %)" : "(above 1 %)");
    return 0;
}

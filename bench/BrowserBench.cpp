// vm_bench_browser: how quickly the parameter browser is usable with every parameter of the catalogue.
// Prints the time from the menu entry to the browser shown and painted (goal under 200 ms in Release), the
// time until the window column is filled (every editor window created once, offline, once per run), and the
// time to filter the table by a text and to show it again unfiltered.
// Run it headless: QT_QPA_PLATFORM=offscreen build-bench/bin/vm_bench_browser

#include "MainWindow.h"
#include "ParamBrowser.h"
#include "Screenshots.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const std::filesystem::path dir = QApplication::applicationDirPath().toStdString();
    vm::app::AppConfig config;
    config.programDir = dir;
    config.dialogs = std::make_shared<vm::app::NonBlockingDialogs>();
    config.launcher = [](const std::filesystem::path&) {};
    vm::app::MainWindow w(std::move(config));
    if (!w.startUp()) {
        std::fprintf(stderr, "vm_bench_browser: the tool could not start\n");
        return 1;
    }
    w.show();
    vm::app::WaitUntil([&] { return w.isVisible(); }, 5000);

    QElapsedTimer clock;
    clock.start();
    w.action("mnuBrowse")->trigger();
    auto* browser = qobject_cast<vm::app::ParamBrowser*>(w.openWindow("FrmBrowse"));
    if (!browser) {
        std::fprintf(stderr, "vm_bench_browser: the browser did not open\n");
        return 1;
    }
    browser->table()->viewport()->repaint(); // the first screenful of rows drawn
    const qint64 shown = clock.elapsed();
    std::printf("browser with %d parameters shown: %lld ms %s\n", browser->model()->rowCount(), shown,
                shown < 200 ? "(within 200 ms)" : "(above 200 ms)");

    vm::app::WaitUntil([&] { return browser->model()->hasPlaces(); }, 60000);
    std::printf("window column filled (every editor created once): %lld ms after the entry\n",
                clock.elapsed());

    clock.restart();
    browser->filter()->setText("price");
    browser->table()->viewport()->repaint();
    std::printf("filtered by \"price\" (%d rows): %lld ms\n", browser->filter()->rowCount(), clock.elapsed());
    clock.restart();
    browser->filter()->setText("");
    browser->table()->viewport()->repaint();
    std::printf("unfiltered again: %lld ms\n", clock.elapsed());
    return 0;
}

#include "Screenshots.h"

#include "MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QTextStream>
#include <QTimer>

#include "EditorRegistry.h"

namespace vm::app {

void NonBlockingDialogs::message(const QString& text, MessageIcon, const QString& title) {
    messages.append(title + ": " + text);
    QTextStream(stderr) << "[" << title << "] " << text << "\n";
}

bool NonBlockingDialogs::askRetry(const QString& text, const QString& title) {
    message(text + " (answered Cancel)", MessageIcon::Exclamation, title);
    return false;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done()) return true;
    QEventLoop loop;
    QTimer poll;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(20);
    limit.start(timeoutMs);
    loop.exec();
    return done();
}

namespace {
QStringList editorNames() {
    QStringList names;
    for (const auto& entry : editors::editorEntries())
        names.append(entry.formName);
    return names;
}

bool save(QWidget* widget, const QString& file, QStringList& problems) {
    QCoreApplication::processEvents();
    if (!widget->grab().save(file)) {
        problems.append("could not write " + file);
        return false;
    }
    return true;
}

int shootEditors(MainWindow& window, const QString& dir, const QString& prefix, int settleMs,
                 QStringList& problems) {
    int failures = 0;
    for (const QString& name : editorNames()) {
        window.openForm(name);
        QWidget* editor = window.openWindow(name);
        if (!editor) {
            problems.append(name + " did not open " + prefix);
            ++failures;
            continue;
        }
        WaitUntil([] { return false; }, settleMs); // let the values arrive
        QWidget* frame = editor->parentWidget() ? editor->parentWidget() : editor;
        if (!save(frame, QDir(dir).filePath(prefix + "-" + name + ".png"), problems)) ++failures;
        window.closeAllChildren();
    }
    return failures;
}
} // namespace

int TakeScreenshots(MainWindow& window, const QString& dir, QStringList& problems) {
    QDir().mkpath(dir);
    int failures = 0;
    window.show();
    WaitUntil([] { return false; }, 200);
    if (!save(&window, QDir(dir).filePath("main-offline.png"), problems)) ++failures;
    failures += shootEditors(window, dir, "offline", 100, problems);

    window.selectSimulatedBoard();
    window.connectClicked();
    if (WaitUntil([&] { return window.findChild<QWidget*>("FrmRead") != nullptr; }, 30000)) {
        WaitUntil([] { return false; }, 1500);
        if (QWidget* progress = window.findChild<QWidget*>("FrmRead"))
            if (!save(progress, QDir(dir).filePath("progress-FrmRead.png"), problems)) ++failures;
    }
    if (!WaitUntil([&] { return window.appState() == AppState::Connected; }, 60000)) {
        problems.append(QStringLiteral("the simulated board did not connect (state %1)")
                            .arg(AppStateName(window.appState())));
        return failures + 1;
    }
    if (!save(&window, QDir(dir).filePath("main-connected.png"), problems)) ++failures;
    failures += shootEditors(window, dir, "connected", 1500, problems);
    window.connectClicked();
    WaitUntil([&] { return window.appState() == AppState::Offline; }, 5000);
    return failures;
}

} // namespace vm::app

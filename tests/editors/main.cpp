// The editor tests run headless: the offscreen platform is chosen before the application starts.
#include "RemoteWindows.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vm::remote::registerRemoteWindows(); // the registry test checks their bindings too
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

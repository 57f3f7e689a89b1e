// Test main for suites that need a QApplication. Test discovery runs the binary at
// build time, often without a display, so the offscreen platform is the default.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/chinese_font.h"

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ceph::platform::InstallChineseFont();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

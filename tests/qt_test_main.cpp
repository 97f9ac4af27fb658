// Test main for tests that need Qt: a QApplication on the platform the test's
// environment names (offscreen under CTest), so widgets, images and fonts work
// without a display.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Run straight from the shell as under CTest: no display needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

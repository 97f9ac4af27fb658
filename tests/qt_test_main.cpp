// Test main for tests that need Qt: a QApplication on the platform the test's
// environment names (offscreen under CTest), so widgets, images and fonts work
// without a display.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // CTest lists the tests before running them, without the tests' environment; there is no
    // display then either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

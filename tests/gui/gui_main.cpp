// Entry point of the GUI tests: a QApplication on the offscreen platform, in
// a host of its own (support/fakehost.h).
#include <QApplication>
#include <gtest/gtest.h>

#include "support/fakehost.h"

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const HermeticEnvironment host;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "common/regional.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // gtest discovery and ctest run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    setRegional(RegionalSettings::norwegian());
    return RUN_ALL_TESTS();
}

#include "platform/qt/pooledthreadsdrain.h"
#include "runner/zerith.h"

#include <QApplication>
#include <clocale>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const PooledThreadsDrain drain;
    QApplication app(argc, argv);
    std::setlocale(LC_ALL, "");
    testing::InitGoogleTest(&argc, argv);
    EnsureRuntimeStarted();
    return RUN_ALL_TESTS();
}

// The main of every widget test program: headless by default (also when CTest only lists the
// tests, without their environment), the user's locale, and no terminal on standard input.
#include "platform/qt/pooledthreadsdrain.h"

#include <QApplication>
#include <clocale>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A script that reads its standard input must not wait for a user at a terminal.
    const int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull > 0) {
        ::dup2(devNull, STDIN_FILENO);
        ::close(devNull);
    }
    std::setlocale(LC_ALL, "");
    const PooledThreadsDrain drain;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include <QApplication>
#include <clocale>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    // Headless by default, also when CTest lists the tests without their environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // CI has no standard input; a terminal would make a reading script wait for the user.
    const int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull > 0) {
        ::dup2(devNull, STDIN_FILENO);
        ::close(devNull);
    }
    std::setlocale(LC_ALL, "");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

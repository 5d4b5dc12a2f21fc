#include "platform/shellfolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(ShellFolders, TitlesTheApplicationAfterTheExecutableCutAtItsFirstDot)
{
    // This test executable is PLATFORM_Tests.bin.
    EXPECT_EQ(applicationTitle(), "Platform_tests");
}

TEST(ShellFolders, FindsTheXdgDocumentsFolderOrFallsBackToDocumentsInHome)
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());

    EXPECT_EQ(documentsFolder(), (home.path() + "/Documents").toStdString());

    QDir(home.path()).mkpath("config");
    QDir(home.path()).mkpath("Papers");
    QFile dirs(home.filePath("config/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/Papers/\"\n");
    dirs.close();
    EXPECT_EQ(documentsFolder(), (home.path() + "/Papers").toStdString())
        << "no trailing separator";

    qputenv("HOME", oldHome);
    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
}

} // namespace

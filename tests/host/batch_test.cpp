#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs plinthar in batch mode with the dialog test plug-in, a home folder of its own whose
// Documents/Korvex holds the scripts "upper.rb", "lower.rb" and "fail.rb", and an empty
// plug-in folder (plus whatever @p pluginFolder holds).
class BatchMode : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Documents/Korvex")));
        ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("plugins")));
        for (const char *name : {"upper", "lower", "fail"})
            write(QStringLiteral("Documents/Korvex/%1.rb").arg(QLatin1String(name)), name);
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        QFile file(home.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    Outcome run(QStringList args)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.remove(QStringLiteral("QT_QPA_PLATFORM")); // batch mode must pick offscreen itself
        process.setProcessEnvironment(env);
        args.prepend(QStringLiteral("--batch"));
        args << QStringLiteral("--plugin-folder") << home.filePath(QStringLiteral("plugins"))
             << QStringLiteral("--plugin") << QStringLiteral(TESTDIALOGPLUGIN_PATH);
        process.start(QStringLiteral(PLINTHAR_PATH), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput(), process.readAllStandardError()};
    }

    QTemporaryDir home;
};

TEST_F(BatchMode, RunsTheChosenScriptOverTheSelectionOrTheDocument)
{
    struct Case
    {
        QByteArray document;
        QStringList args;
        QByteArray output;
    };
    const Case cases[] = {
        {"ab\r\ncd\r\n", {"--script", "upper.rb"}, "AB\r\nCD\r\n"},
        {"ab\ncd\n", {"--script", "upper.rb"}, "AB\nCD\n"},
        {"ab\ncd\nef", {"--script", "upper.rb", "--selection", "1", "4"}, "aB\nCd\nef"},
        {"ab\r\ncd\r\n", {"--script", "upper.rb", "--selection", "0", "6"}, "AB\r\nCD\r\n"},
        {"Mixed\r\nCase", {"--script", "lower.rb", "--selection", "2", "2"}, "mixed\r\ncase"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const QString doc = write(QStringLiteral("doc.txt"), c.document);
        const Outcome outcome = run(QStringList(c.args) << doc);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
        EXPECT_EQ(outcome.out, c.output);
    }
}

TEST_F(BatchMode, TypesTheTextOfAScriptFile)
{
    const QString script = write(QStringLiteral("elsewhere.txt"), "upper\n");
    const Outcome outcome =
        run({QStringLiteral("--script-file"), script, write(QStringLiteral("d.txt"), "xy\n")});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    EXPECT_EQ(outcome.out, "XY\n");
}

TEST_F(BatchMode, FailsWithTheErrorBoxTextWhenTheWindowStaysOpen)
{
    const Outcome outcome = run({QStringLiteral("--script"), QStringLiteral("fail.rb"),
                                 write(QStringLiteral("d.txt"), "xy\n")});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(outcome.err.contains("The test script failed.")) << outcome.err.toStdString();
    EXPECT_TRUE(outcome.out.isEmpty());
}

TEST_F(BatchMode, AnswersUsageAndFileErrorsWithStatusTwo)
{
    const QString doc = write(QStringLiteral("d.txt"), "abc");
    const QStringList cases[] = {
        {QStringLiteral("--script"), QStringLiteral("upper.rb"), home.filePath("missing.txt")},
        {QStringLiteral("--script"), QStringLiteral("nosuch.rb"), doc},
        {QStringLiteral("--script"), QStringLiteral("upper.rb"), QStringLiteral("--selection"),
         QStringLiteral("2"), QStringLiteral("9"), doc},
        {QStringLiteral("--script"), QStringLiteral("upper.rb"), QStringLiteral("--selection"),
         QStringLiteral("2"), QStringLiteral("1"), doc},
        {QStringLiteral("--script-file"), home.filePath("missing.rb"), doc},
        {doc},
        {QStringLiteral("--script"), QStringLiteral("upper.rb"), QStringLiteral("--time-limit"),
         QStringLiteral("0"), doc},
        {QStringLiteral("--script"), QStringLiteral("upper.rb"), QStringLiteral("--time-limit"),
         QStringLiteral("soon"), doc},
    };
    for (const QStringList &args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Outcome outcome = run(args);
        EXPECT_EQ(outcome.exitCode, 2) << outcome.err.toStdString();
        EXPECT_FALSE(outcome.err.isEmpty());
        EXPECT_TRUE(outcome.out.isEmpty());
    }
}

TEST_F(BatchMode, ReportsABrokenLibraryAndGoesOn)
{
    write(QStringLiteral("plugins/broken.so"), "not a library");
    const Outcome outcome = run({QStringLiteral("--script"), QStringLiteral("upper.rb"),
                                 write(QStringLiteral("d.txt"), "ok")});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(outcome.err.contains("broken.so")) << outcome.err.toStdString();
    EXPECT_EQ(outcome.out, "OK");
}

} // namespace

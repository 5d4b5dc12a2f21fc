#include "stoppablescripts.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Batch
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

} // namespace

/// plinthar --batch with the built Korvex.so and a private scripts folder.
class BatchModeFixture : public ::testing::Test
{
protected:
    void SetUp() override { QDir(home.path()).mkpath("Documents/Korvex"); }

    void write(const QString &relative, const QByteArray &bytes)
    {
        QFile file(home.path() + '/' + relative);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    Batch run(const QStringList &arguments)
    {
        QProcess plinthar;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("LANG", "C.UTF-8");
        env.insert("LC_ALL", "C.UTF-8");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        plinthar.setProcessEnvironment(env);
        QStringList args{"--batch", "--plugin-folder", home.path() + "/none", "--plugin",
                         KORVEX_LIBRARY};
        plinthar.start(PLINTHAR_PATH, args + arguments);
        EXPECT_TRUE(plinthar.waitForFinished(60000));
        return {plinthar.exitCode(), plinthar.readAllStandardOutput(),
                plinthar.readAllStandardError()};
    }

    QTemporaryDir home;
};

TEST_F(BatchModeFixture, FiltersTheSelectionThroughAPickedScriptKeepingCrLf)
{
    write("Documents/Korvex/upcase.rb", "ARGV.each { |l| puts l.upcase }\n");
    write("doc.txt", "head\r\nab\r\ncd\r\ntail\r\n");
    const Batch batch =
        run({"--script", "upcase.rb", "--selection", "6", "12", home.path() + "/doc.txt"});
    EXPECT_EQ(batch.exitCode, 0) << batch.err.toStdString();
    EXPECT_EQ(batch.out, "head\r\nAB\r\nCD\r\n\r\ntail\r\n");
    EXPECT_EQ(batch.err, "");
}

TEST_F(BatchModeFixture, FiltersTheWholeDocumentFromAScriptFile)
{
    write("sort.rb", "puts ARGV.sort\n");
    write("doc.txt", "pear\nápple\nfig\n");
    const Batch batch = run({"--script-file", home.path() + "/sort.rb", home.path() + "/doc.txt"});
    EXPECT_EQ(batch.exitCode, 0) << batch.err.toStdString();
    EXPECT_EQ(batch.out, "fig\npear\nápple\n");
}

TEST_F(BatchModeFixture, AnIdentityScriptGivesBackTheBytesWithAFinalBreak)
{
    write("Documents/Korvex/identity.rb", "puts ARGV\n");
    const struct
    {
        QByteArray document, output;
    } cases[] = {
        {"caf\xe9\nnext", "caf\xe9\nnext\n"}, // not UTF-8
        {"a\xe2\x80\xa8"
         "b\r\nc\r\n",
         "a\xe2\x80\xa8"
         "b\r\nc\r\n"}, // U+2028 in a line
        {"one\r\ntwo", "one\r\ntwo\r\n"},
        {"one\ntwo\n", "one\ntwo\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.document.toStdString());
        write("doc.txt", c.document);
        const Batch batch = run({"--script", "identity.rb", home.path() + "/doc.txt"});
        EXPECT_EQ(batch.exitCode, 0) << batch.err.toStdString();
        EXPECT_EQ(batch.out, c.output);
    }
}

TEST_F(BatchModeFixture, AScriptMissingFromTheListIsAUsageError)
{
    write("doc.txt", "x\n");
    const Batch batch = run({"--script", "nowhere.rb", home.path() + "/doc.txt"});
    EXPECT_EQ(batch.exitCode, 2);
    EXPECT_EQ(batch.out, "");
}

class BatchTimeLimit : public BatchModeFixture,
                       public ::testing::WithParamInterface<StoppableScript>
{
};

TEST_P(BatchTimeLimit, StopsTheScriptAndWritesTheDocumentUnchanged)
{
    write("stuck.rb", GetParam().source);
    write("doc.txt", "keep\r\nme\n");
    // A hang shows as the 60 s the run waits for plinthar to end.
    const Batch batch = run({"--time-limit", "1", "--script-file", home.path() + "/stuck.rb",
                             home.path() + "/doc.txt"});
    EXPECT_EQ(batch.exitCode, 3) << batch.err.toStdString();
    EXPECT_EQ(batch.out, "keep\r\nme\n");
    EXPECT_EQ(batch.err, "stopped after 1 s\n");
}

INSTANTIATE_TEST_SUITE_P(Stoppable, BatchTimeLimit, ::testing::ValuesIn(StoppableScripts),
                         [](const ::testing::TestParamInfo<StoppableScript> &info) {
                             return std::string(info.param.name);
                         });

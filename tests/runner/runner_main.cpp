#include "runner_test_support.h"

#include "runner/pseudo.h"
#include "runner/zerith.h"

#include <gtest/gtest.h>

#include <clocale>

std::string runScript(const std::string &script, const std::vector<std::string> &params,
                      LineList *lines, const std::string &fileName, ScriptSource source)
{
    TZerith zerith;
    zerith.setScriptFileName(fileName);
    zerith.setScriptSource(source);
    LineList s;
    s.setText(script);
    zerith.setScript(s);
    LineList p;
    for (const std::string &param : params)
        p.append(param);
    zerith.setParams(p);
    zerith.Execute(lines);
    return Pseudo::OutputBuffer();
}

std::vector<std::string> linesOf(const LineList &list)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < list.count(); ++i)
        out.emplace_back(list[i]);
    return out;
}

int main(int argc, char **argv)
{
    // The host (QApplication) does this; the runtime takes its default coding from it.
    std::setlocale(LC_ALL, "");
    testing::InitGoogleTest(&argc, argv);
    // Tests compare stream values with those before a run, so the runtime must be up first.
    EnsureRuntimeStarted();
    return RUN_ALL_TESTS();
}

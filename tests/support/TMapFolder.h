#pragma once
// A test that runs the built pvxMap in a scratch folder of its own, with
// grid files written and read there.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/TCommand.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"

class TMapFolder : public ::testing::Test {
protected:
    // pvxMap in the test's folder; StgPrefix goes before it (ulimit,
    // redirections of standard input).
    TCommandResult Map(const std::vector<std::string>& VecArgs, const std::string& StgPrefix = "")
    {
        return RunMap(VecArgs, "cd " + ShellQuoted(Dir.Path().string()) + " && " + StgPrefix);
    }
    // A shell command line in the test's folder.
    TCommandResult Shell(const std::string& StgCommand)
    {
        return RunShell("cd " + ShellQuoted(Dir.Path().string()) + " && " + StgCommand);
    }
    void Put(const std::string& StgName, const TGridText& Grid) { WriteText(Dir / StgName, GridFileText(Grid)); }
    TGridText Read(const std::string& StgName)
    {
        const std::optional<TGridText> Grid = ParseGridText(ReadText(Dir / StgName));
        EXPECT_TRUE(Grid) << StgName;
        return Grid.value_or(TGridText());
    }

    TTempDir Dir;
};

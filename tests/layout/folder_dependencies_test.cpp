// Folders include each other in one direction only: every include of the component, the
// handlers, the example host and the tools runs along folder_dependencies.txt, and that table
// has no cycle. The checker is tried first on small trees made for it, so that a check that
// sees nothing cannot pass.

#include "include_graph.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

namespace fs = std::filesystem;
using namespace DbscoutTest;

namespace {

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    return text;
}

class MadeTree : public testing::Test
{
protected:
    void write(const std::string& relative, const std::string& text)
    {
        fs::create_directories((m_root / relative).parent_path());
        std::ofstream(m_root / relative) << text;
    }

    FolderTable table(const std::string& text)
    {
        write("table.txt", text);
        std::string error;
        const std::optional<FolderTable> read = readFolderTable(m_root / "table.txt", error);
        EXPECT_TRUE(read) << error;
        return read.value_or(FolderTable());
    }

    TestEnv m_env; // a fresh folder
    fs::path m_root = m_env.path();
};

TEST_F(MadeTree, includesAgainstTheTableAreEachNamed)
{
    write("lib/low/low.h", "#pragma once\n");
    write("lib/high/high.h", "#pragma once\n#include \"low/low.h\"\n");
    write("lib/high/deep/deeper.h", "#pragma once\n#include \"../high.h\"\n");
    write("lib/low/bad.cpp", "#include \"low.h\"\n#include \"high/high.h\"\n#include <vector>\n");
    write("lib/low/lost.cpp", "  #  include \"missing.h\"\n");
    write("lib/stray/stray.h", "#pragma once\n");
    const FolderTable folders = table("# a comment\nscan = lib\nsearch = lib\n"
                                      "lib/high: lib/low\nlib/low:\n");
    EXPECT_EQ(joined(checkIncludes(m_root, folders)),
              "lib/low/bad.cpp:2: high/high.h: lib/low may not include lib/high\n"
              "lib/low/lost.cpp:1: missing.h: found nowhere in the tree\n"
              "lib/stray/stray.h: its folder lib/stray has no line in the table\n");
}

TEST_F(MadeTree, cyclesOfTheTableAreFound)
{
    EXPECT_EQ(joined(findCycles(table("a: b\nb: c\nc: a d\nd:\ne: e\n"))),
              "a -> b -> c -> a\ne -> e\n");
    EXPECT_TRUE(findCycles(table("a: b c\nb: c\nc:\n")).empty());
}

TEST_F(MadeTree, malformedTablesAreRefusedWithTheirLine)
{
    write("table.txt", "scan = lib\na: b\n\na: c\n");
    std::string error;
    EXPECT_FALSE(readFolderTable(m_root / "table.txt", error));
    EXPECT_EQ(error, "table.txt:4: a has a line already");
    write("table.txt", "a b: c\n");
    EXPECT_FALSE(readFolderTable(m_root / "table.txt", error));
    EXPECT_EQ(error, "table.txt:1: expected \"scan = ...\", \"search = ...\" or \"folder: ...\"");
    EXPECT_FALSE(readFolderTable(m_root / "absent.txt", error));
}

// The tree's own table over a made tree of the handlers' folders: an include against the molb
// layering, between the two back ends, from serving code to the server client, or between the
// handlers, is named; one along the layering is not.
TEST_F(MadeTree, theTreesTableRefusesHandlerIncludesAgainstTheirDirection)
{
    std::string error;
    std::optional<FolderTable> folders = readFolderTable(
        fs::path(DBSCOUT_SOURCE_DIR) / "tests/layout/folder_dependencies.txt", error);
    ASSERT_TRUE(folders) << error;
    folders->scanned = {"handlers"};
    struct Case
    {
        std::string from, to; // folders below handlers/
        bool allowed;
    };
    const Case cases[] = {
        {"molb/model", "molb/steps", false},    {"molb/import", "molb/derive", false},
        {"molb/derive", "molb/steps", false},   {"molb/steps", "molb/sqlite", false},
        {"molb/sqlite", "molb/pg", false},      {"molb/pg", "molb/sqlite", false},
        {"molb/serve", "molb/pg", false},       {"molb/handler", "molb/pg", false},
        {"molb/protocol", "molb/serve", false}, {"molb/link", "molb/protocol", false},
        {"molb/admin", "molb/serve", false},    {"molb/test_hooks", "molb/model", false},
        {"common", "molb/model", false},        {"ncbi", "molb/protocol", false},
        {"molb/serve", "molb/sqlite", true},    {"molb/agent", "molb/pg", true},
        {"molb/admin", "molb/derive", true},    {"molb/steps", "molb/test_hooks", true},
        {"molb/import", "molb/model", true},    {"molb/model", "common", true},
    };
    std::set<std::string> refused; // the check names them in the order of their files
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        // Includes name the molb folder ("model/probe3.h"), a common header its name alone.
        const std::string header = "probe" + std::to_string(i) + ".h";
        const std::string included =
            c.to == "common" ? header : c.to.substr(c.to.find('/') + 1) + "/" + header;
        const std::string source = "handlers/" + c.from + "/probe" + std::to_string(i) + ".cpp";
        write("handlers/" + c.to + "/" + header, "#pragma once\n");
        write(source, "#include \"" + included + "\"\n");
        if (!c.allowed)
            refused.insert(source + ":1: " + included + ": handlers/" + c.from +
                           " may not include handlers/" + c.to);
    }
    EXPECT_EQ(joined(checkIncludes(m_root, *folders)),
              joined(std::vector(refused.begin(), refused.end())));
}

TEST(SourceTree, everyIncludeRunsAlongTheTableWhichHasNoCycle)
{
    std::string error;
    const std::optional<FolderTable> table = readFolderTable(
        fs::path(DBSCOUT_SOURCE_DIR) / "tests/layout/folder_dependencies.txt", error);
    ASSERT_TRUE(table) << error;
    ASSERT_FALSE(table->scanned.empty());
    EXPECT_EQ(joined(findCycles(*table)), "");
    EXPECT_EQ(joined(checkIncludes(DBSCOUT_SOURCE_DIR, *table)), "");
}

} // namespace

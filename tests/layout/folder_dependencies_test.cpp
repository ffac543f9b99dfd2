// Folders include each other in one direction only: every include of the component, the
// handlers, the example host and the tools runs along folder_dependencies.txt, and that table
// has no cycle. The checker is tried first on small trees made for it, so that a check that
// sees nothing cannot pass.

#include "include_graph.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <fstream>

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

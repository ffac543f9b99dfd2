// Pages read the way the request job reads them: from the read end of a real pipe, while a
// writer on another thread or in a child process is still writing.

#include "document/result_page.h"
#include "document/status_page.h"
#include "document/xml_exception.h"
#include "page_generator.h"
#include "page_parts.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace Dbscout;

namespace {

// A pipe whose write end a thread fills with text (or a part of it) and then closes.
class WrittenPipe
{
public:
    explicit WrittenPipe(std::string text) : m_text(std::move(text))
    {
        int ends[2];
        EXPECT_EQ(pipe2(ends, O_CLOEXEC), 0);
        m_read = ends[0];
        m_writer = std::thread([this, write = ends[1]] {
            size_t done = 0;
            while (done < m_text.size()) {
                ssize_t count = ::write(write, m_text.data() + done, m_text.size() - done);
                if (count <= 0)
                    break;
                done += size_t(count);
            }
            ::close(write);
        });
    }
    ~WrittenPipe()
    {
        m_writer.join();
        ::close(m_read);
    }
    int readEnd() const { return m_read; }

private:
    std::string m_text;
    int m_read = -1;
    std::thread m_writer;
};

std::string parseFailure(AnswerPage& page, int fd)
{
    try {
        page.Parse(fd);
    } catch (const CXMLException& error) {
        return error.message();
    }
    return "parsed";
}

TEST(PagePipe, bothPagesParseWhatAWriterThreadSends)
{
    {
        WrittenPipe pipe(DbscoutTest::ResultPageParts().text());
        ResultPage page;
        page.Parse(pipe.readEnd());
        ASSERT_EQ(page.rows.size(), 1u);
        EXPECT_EQ(page.rows[0].id, "Alpha/P1");
    }
    {
        WrittenPipe pipe(DbscoutTest::StatusPageParts().text());
        StatusPage page;
        page.Parse(pipe.readEnd());
        EXPECT_EQ(page.linkText, "pUC19");
    }
}

TEST(PagePipe, anEmptyOrCutAnswerIsAParseErrorNotASilentFailure)
{
    const struct
    {
        std::string text;
        const char* message;
    } cases[] = {
        {"", "Error parsing XML"},
        {"<html><head><title>protein</ti", "0x49 Line : 1 Char : 31 expected '>'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        for (int kind = 0; kind < 2; ++kind) {
            WrittenPipe pipe(c.text);
            ResultPage result;
            StatusPage status;
            AnswerPage& page = kind == 0 ? static_cast<AnswerPage&>(result) : status;
            EXPECT_EQ(parseFailure(page, pipe.readEnd()), c.message);
        }
    }
}

TEST(PagePipe, aPageFromAChildProcessParses)
{
    std::string page = DbscoutTest::GenerateResultPage(120);
    char path[] = "/tmp/dbscout-page-XXXXXX";
    int file = mkstemp(path);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, page.data(), page.size()), ssize_t(page.size()));
    ::close(file);

    int ends[2];
    ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    char cat[] = "cat";
    char* argv[] = {cat, path, nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawnp(&child, "cat", &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[1]);

    ResultPage result;
    result.Parse(ends[0]);
    ::close(ends[0]);
    int exitStatus = 0;
    waitpid(child, &exitStatus, 0);
    ::unlink(path);
    EXPECT_EQ(result.rows.size(), 120u);
    EXPECT_EQ(result.rows[119].name, "Object 119");
    EXPECT_EQ(result.totalFound, 120);
}

TEST(PagePipe, aFiftyMegabytePageParses)
{
    long rowCount = 0;
    std::string text = DbscoutTest::GenerateResultPageOfSize(50u << 20, rowCount);
    ASSERT_GE(text.size(), 50u << 20);
    WrittenPipe pipe(std::move(text));
    ResultPage page;
    page.Parse(pipe.readEnd());
    ASSERT_EQ(page.rows.size(), size_t(rowCount));
    const ResultRow& last = page.rows.back();
    EXPECT_EQ(last.name, "Object " + std::to_string(rowCount - 1));
    EXPECT_EQ(last.id, "MAIN/" + std::to_string(rowCount - 1));
    EXPECT_EQ(last.cells.size(), 4u);
    EXPECT_EQ(last.cells[0], std::to_string((rowCount - 1) * 7));
    EXPECT_EQ(page.rows[3].checkoutBy, "curator");
    EXPECT_FALSE(page.rows[5].writable);
    EXPECT_EQ(page.columns.size(), 5u);
    EXPECT_EQ(page.totalFound, rowCount);
}

} // namespace

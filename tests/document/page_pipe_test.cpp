// A page read the way the request job reads it: from the read end of a real pipe, while a
// writer thread is still writing. (Empty and cut answers from real handlers are the request
// job's tests; the parsers' messages for them, the pages' own.)

#include "document/result_page.h"
#include "document/xml_exception.h"
#include "page_generator.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <thread>
#include <unistd.h>

using namespace Dbscout;

namespace {

// Parses what a writer thread sends through a pipe; returns the message of a failure.
std::string parseFromPipe(AnswerPage& page, const std::string& text)
{
    int ends[2];
    EXPECT_EQ(pipe2(ends, O_CLOEXEC), 0);
    std::thread writer([&text, fd = ends[1]] {
        for (size_t done = 0; done < text.size();) {
            const ssize_t count = ::write(fd, text.data() + done, text.size() - done);
            if (count <= 0)
                break;
            done += size_t(count);
        }
        ::close(fd);
    });
    std::string outcome = "parsed";
    try {
        page.Parse(ends[0]);
    } catch (const CXMLException& error) {
        outcome = error.message();
    }
    writer.join();
    ::close(ends[0]);
    return outcome;
}

TEST(PagePipe, aPageOfManyMegabytesParses)
{
    long rowCount = 0;
    const std::string text =
        DbscoutTest::GenerateResultPageOfSize(size_t(BIG_ANSWER_MIB) << 20, rowCount);
    ResultPage page;
    ASSERT_EQ(parseFromPipe(page, text), "parsed");
    ASSERT_EQ(page.rows.size(), size_t(rowCount));
    const ResultRow& last = page.rows.back();
    EXPECT_EQ(last.name, "Object " + std::to_string(rowCount - 1));
    ASSERT_EQ(last.cells.size(), 4u);
    EXPECT_EQ(last.cells[0], std::to_string((rowCount - 1) * 7));
    EXPECT_EQ(page.totalFound, rowCount);
}

} // namespace

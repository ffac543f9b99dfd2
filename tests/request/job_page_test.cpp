// The request job with the real answer pages, on the handler found through the settings store,
// as the panel and the save dialog run it.

#include "job_harness.h"
#include "process_support.h"
#include "support/handler_registration.h"

#include "document/result_page.h"
#include "document/status_page.h"
#include "request/handler_command.h"

#include <gtest/gtest.h>

using namespace Dbscout;
using namespace DbscoutTest;

namespace {

class JobPageTest : public JobTestBase
{
protected:
    void SetUp() override
    {
        JobTestBase::SetUp();
        ASSERT_TRUE(registerTestHandler("molb", "dir"));
        ASSERT_TRUE(LookupHandlerCommand("molb", "dir", m_molb));
    }

    // A job as the panel makes it: program and arguments from the command of the URL's scheme.
    std::unique_ptr<CScoutRequest> panelJob(const std::string& url, ScoutResponse* page,
                                            const std::string& body = {})
    {
        const std::string& command = HandlerCommandForUrl(url, m_molb, m_ncbi);
        return std::make_unique<CScoutRequest>(
            page, &m_receiver, HandlerProgramPath(command), HandlerArguments(command, url),
            body.empty() ? nullptr : body.data(), uint32_t(body.size()));
    }

    std::string m_molb;
    std::string m_ncbi; // not registered
};

} // namespace

TEST_F(JobPageTest, listingFillsTheResultPage)
{
    auto job = panelJob("molb://local/db/Alpha?start=0&page=20", new ResultPage);
    runToCompletion(*job);
    const auto& page = static_cast<const ResultPage&>(*job->response());
    EXPECT_EQ(job->errorText(), "");
    EXPECT_EQ(page.status, "OK");
    EXPECT_EQ(page.title, "protein");
    ASSERT_EQ(page.rows.size(), 1u);
    EXPECT_EQ(page.rows[0].id, "Alpha/P1");
    EXPECT_EQ(page.totalFound, 1);
}

TEST_F(JobPageTest, errorPageKeepsItsStatusAndMessageWithoutErrorText)
{
    auto job = panelJob("molb://local/db/Gamma?start=0&page=20&fixture=error", new ResultPage);
    runToCompletion(*job);
    EXPECT_EQ(job->errorText(), "");
    EXPECT_EQ(job->response()->status, "ERROR");
    EXPECT_EQ(job->response()->message, "Subset Gamma does not exist.");
}

TEST_F(JobPageTest, brokenAnswersBecomeXmlParserErrors)
{
    for (const std::string mode : {"die-halfway", "crash", "bytes:100"}) {
        auto job = panelJob("molb://local/db/Alpha?testmode=" + mode, new ResultPage);
        runToCompletion(*job);
        EXPECT_EQ(job->errorText().rfind("XML parser error: ", 0), 0u) << job->errorText();
        EXPECT_GT(job->errorText().size(), std::string("XML parser error: ").size());
        EXPECT_EQ(job->response()->status, "ERROR");
    }
}

TEST_F(JobPageTest, schemeWithoutCommandCannotBeExecuted)
{
    for (const std::string url : {"ncbi://host/db", "http://host/db"}) {
        auto job = panelJob(url, new ResultPage);
        runToCompletion(*job);
        EXPECT_EQ(job->errorText(), "MOLB protocol error: cannot execute protocol!");
        EXPECT_EQ(job->response()->status, "ERROR");
    }
}

TEST_F(JobPageTest, saveSendsTheObjectBytesAndReadsTheStatusPage)
{
    const std::string record = m_env.file("save");
    const std::string object = "LOCUS       P1  120 aa\nORIGIN\n        1 mkv\n//\n";
    auto job =
        panelJob("molb://local/db/MAIN/P1?query=&command=put&fixture=stored&record=" + record,
                 new StatusPage, object);
    runToCompletion(*job);
    const auto& page = static_cast<const StatusPage&>(*job->response());
    EXPECT_EQ(page.status, "OK");
    EXPECT_EQ(page.linkText, "P1");
    EXPECT_EQ(fileContent(record + ".stdin"), object);
}

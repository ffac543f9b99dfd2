// The request's password leaves the handler's command line before anything else happens, so
// other local users cannot read it in /proc/PID/cmdline while the handler works.

#include "credentials.h"
#include "molb_harness.h"

#include <fstream>
#include <iterator>
#include <thread>

using namespace MolbTest;

namespace {

TEST(Credentials, everyPasswordOfARequestIsFound)
{
    for (const auto& [url, passwords] :
         std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"molb://h/db/dnarna/?start=0&user=ann&pass=s3cret", {"s3cret"}},
             {"molb://h/db/dnarna/?pass=a&pass=b", {"a", "b"}},
             {"molb://ann:pw@h/db/?pass=other", {"pw", "other"}},
             {"molb://h/db/a:b@c/?start=0", {}}, // an "@" in the path is no credential
             {"molb://h/db/dnarna/?superpass=x&bypass=y", {}},
             {"molb://h/db/dnarna/?user=ann&pass=with blank&command=ci", {"with blank"}},
             {"no scheme at all?pass=x", {"x"}},
         }) {
        std::vector<std::string> found;
        for (const auto& [offset, length] : Dbscout::Handlers::passwordSpans(url))
            found.push_back(url.substr(offset, length));
        EXPECT_EQ(found, passwords) << url;
    }
}

TEST(Credentials, theUrlIsTheFirstArgumentUnchangedButForItsPasswords)
{
    std::string url = "molb://ann:pw@h/db/dnarna/x?user=ann&pass=two  words\t&comment=a  b&x";
    std::string other = "pass=not-a-request";
    char* arguments[] = {url.data(), other.data()};
    EXPECT_EQ(Dbscout::Handlers::takeRequestUrl(2, arguments),
              "molb://ann:pw@h/db/dnarna/x?user=ann&pass=two  words\t&comment=a  b&x");
    EXPECT_EQ(url, "molb://ann:**@h/db/dnarna/x?user=ann&pass=***********&comment=a  b&x");
    EXPECT_EQ(other, "pass=not-a-request");
    EXPECT_EQ(Dbscout::Handlers::takeRequestUrl(0, arguments + 2), "");
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(Credentials, aRunningHandlerShowsNoPasswordInItsCommandLine)
{
    DbscoutTest::TestEnv env;
    makeStore("lab");
    // A save waits for its whole input before it touches the store: the handler blocks in read
    // on its standard input, long after its first act.
    Child handler(handlerPath(),
                  {"molb://local/lab/dnarna/x?query=MAIN&command=put&user=ann&pass=Sw0rdf1sh"}, {},
                  true);
    const std::string proc = "/proc/" + std::to_string(handler.pid());
    bool reading = false;
    for (int i = 0; i < 2000 && !reading; ++i) {
        reading = readFile(proc + "/syscall").starts_with("0 0x0 "); // read(0, ...)
        if (!reading)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const std::string commandLine = readFile(proc + "/cmdline");
    handler.closeInput();
    EXPECT_EQ(handler.waitExit(), 0);
    ASSERT_TRUE(reading) << "the handler never waited for its input";
    EXPECT_EQ(commandLine.find("Sw0rdf1sh"), std::string::npos) << commandLine;
    EXPECT_NE(commandLine.find("&user=ann&pass=*********"), std::string::npos) << commandLine;
}

} // namespace

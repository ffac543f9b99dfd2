// scripts/register-handler with the real settings-store tool, read back by the component's own
// lookup.

#include "molb_harness.h"
#include "request/handler_command.h"

#include <cstdlib>
#include <filesystem>

using namespace MolbTest;

namespace {

class Registration : public ::testing::Test
{
protected:
    ProcessResult registerHandler(const std::string& program)
    {
        ::setenv("DBSCOUT_REG", DBSCOUT_REG_PATH, 1);
        ProcessResult result = runProcess("/bin/bash", {MOLB_REGISTER_SCRIPT, program});
        ::unsetenv("DBSCOUT_REG");
        return result;
    }

    DbscoutTest::TestEnv env;
};

// The panel's own spawning of a registered handler runs in the panel's end-to-end test.
TEST_F(Registration, theComponentsLookupFindsTheRegisteredHandlerForEveryVerb)
{
    const ProcessResult result = registerHandler(handlerPath());
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    const std::string program = std::filesystem::canonical(handlerPath()).string();
    std::string command;
    for (const char* verb : {"dir", "put", "open"}) {
        ASSERT_TRUE(Dbscout::LookupHandlerCommand("molb", verb, command)) << verb;
        EXPECT_EQ(command, "\"" + program + "\" \"%1\"") << verb;
    }
    EXPECT_EQ(Dbscout::HandlerProgramPath(command), program);
}

TEST_F(Registration, refusesWhatItCannotRegister)
{
    ProcessResult result = registerHandler("/nonexistent/handler");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("/nonexistent/handler is not an executable file"),
              std::string::npos);
    EXPECT_EQ(runProcess("/bin/bash", {MOLB_REGISTER_SCRIPT}).exitCode, 2);
    // A copy away from any build tree, so that none of the places it looks holds the tool.
    const std::string copy = env.file("register-handler");
    std::filesystem::copy_file(MOLB_REGISTER_SCRIPT, copy);
    result = runProcess("/usr/bin/env", {"PATH=/usr/bin:/bin", "/bin/bash", copy, "/bin/true"}, {},
                        {"DBSCOUT_REG=/nonexistent/dbscout-reg"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("dbscout-reg not found"), std::string::npos) << result.errors;
    std::string command;
    EXPECT_FALSE(Dbscout::LookupHandlerCommand("molb", "dir", command));
}

} // namespace

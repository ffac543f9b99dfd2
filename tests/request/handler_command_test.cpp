#include "request/handler_command.h"

#include <gtest/gtest.h>

using namespace Dbscout;

TEST(HandlerCommand, programPathAndArgumentsComeFromTheQuotedFields)
{
    struct Case
    {
        std::string command, program, arguments;
    } cases[] = {
        {"\"C:\\h.exe\" \"%1\"", "C:\\h.exe", "molb://h/d?x=1"},
        {"\"/usr/bin/h\" \"%1 %1\"", "/usr/bin/h", "molb://h/d?x=1 molb://h/d?x=1"},
        {"\"/usr/bin/h\" \"-v %1 --x\" ignored", "/usr/bin/h", "-v molb://h/d?x=1 --x"},
        {"\"/usr/bin/h\" %1", "/usr/bin/h", ""}, // unquoted arguments are none
        {"/usr/bin/h %1", "", ""},               // no quotes at all
        {"\"/usr/bin/h", "", ""},                // unterminated
        {"\"/usr/bin/h\" \"no url\"", "/usr/bin/h", "no url"},
        {"\"\" \"\"", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HandlerProgramPath(c.command), c.program) << c.command;
        EXPECT_EQ(HandlerArguments(c.command, "molb://h/d?x=1"), c.arguments) << c.command;
    }
}

TEST(HandlerCommand, urlIsSubstitutedUnchanged)
{
    EXPECT_EQ(HandlerArguments("\"p\" \"%1\"", "a %1 b"), "a %1 b");
}

TEST(HandlerCommand, firstFourCharactersChooseTheScheme)
{
    const std::string molb = "molb command", ncbi = "ncbi command";
    const std::pair<std::string, std::string> cases[] = {
        {"molb://h/d", molb}, {"MOLB://h/d", molb}, {"NCBI:x", ncbi}, {"ncbiplus://x", ncbi},
        {"http://h", ""},     {"ncb", ""},          {"", ""},         {"Molbx", molb},
    };
    for (const auto& [url, expected] : cases)
        EXPECT_EQ(HandlerCommandForUrl(url, molb, ncbi), expected) << url;
}

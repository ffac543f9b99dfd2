#include "request/handler_command.h"

#include <gtest/gtest.h>

using namespace Dbscout;

TEST(HandlerCommand, programPathAndArgumentsComeFromTheQuotedFields)
{
    const struct
    {
        std::string command, url, program, arguments;
    } cases[] = {
        {"\"C:\\h.exe\" \"%1\"", "u?x=1", "C:\\h.exe", "u?x=1"},
        {"\"/usr/bin/h\" \"%1 %1\"", "u?x=1", "/usr/bin/h", "u?x=1 u?x=1"},
        {"\"/usr/bin/h\" \"-v %1 --x\" ignored", "u", "/usr/bin/h", "-v u --x"},
        {"\"p\" \"%1\"", "a %1 b", "p", "a %1 b"},    // the URL is substituted unchanged
        {"\"/usr/bin/h\" %1", "u", "/usr/bin/h", ""}, // unquoted arguments are none
        {"/usr/bin/h %1", "u", "", ""},               // no quotes at all
        {"\"/usr/bin/h", "u", "", ""},                // unterminated
        {"\"\" \"\"", "u", "", ""},
        {"", "u", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HandlerProgramPath(c.command), c.program) << c.command;
        EXPECT_EQ(HandlerArguments(c.command, c.url), c.arguments) << c.command;
    }
}

TEST(HandlerCommand, firstFourCharactersChooseTheScheme)
{
    const std::string molb = "molb command", ncbi = "ncbi command";
    const std::pair<std::string, std::string> cases[] = {
        {"MOLB://h/d", molb}, {"Molbx", molb}, {"ncbiplus://x", ncbi},
        {"http://h", ""},     {"ncb", ""},     {"", ""},
    };
    for (const auto& [url, expected] : cases)
        EXPECT_EQ(HandlerCommandForUrl(url, molb, ncbi), expected) << url;
}

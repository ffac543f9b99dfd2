// Finding a scheme's handler command in the settings store, and refusing values that cannot be
// one.

#include "request/handler_command.h"

#include "support/test_env.h"

#include <dbscout/registry.h>

#include <gtest/gtest.h>

using namespace Dbscout;

namespace {

class HandlerLookup : public ::testing::Test
{
protected:
    // The command as looked up for molb, or "refused" after writing bytes of type as its value.
    std::string lookUp(DWORD type, const std::string& bytes)
    {
        RegKey key;
        EXPECT_EQ(key.create(HKEY_CLASSES_ROOT, "molb\\shell\\dir\\command"), ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key.get(), "", 0, type,
                                 reinterpret_cast<const BYTE*>(bytes.data()), DWORD(bytes.size())),
                  ERROR_SUCCESS);
        std::string command = "refused";
        return LookupHandlerCommand("MOLB", "DIR", command) ? command : command + " unchanged";
    }

    DbscoutTest::TestEnv m_env;
};

const std::string nul(1, '\0');

} // namespace

TEST_F(HandlerLookup, acceptsOnlyTerminatedStringsOfTheThreeStringTypes)
{
    const struct
    {
        DWORD type;
        std::string bytes, command;
    } cases[] = {
        {REG_SZ, "\"h\" \"%1\"" + nul, "\"h\" \"%1\""},
        {REG_EXPAND_SZ, "\"%HOME%/h\" \"%1\"" + nul, "\"%HOME%/h\" \"%1\""}, // not expanded
        {REG_MULTI_SZ, "\"first\" \"%1\"" + nul + "second" + nul + nul, "\"first\" \"%1\""},
        {REG_SZ, "\"h\"" + nul + "tail" + nul, "\"h\""}, // ends at the first NUL
        {REG_SZ, std::string(1023, 'x') + nul, std::string(1023, 'x')},
        {REG_SZ, "\"h\" \"%1\"", "refused unchanged"},             // no NUL
        {REG_MULTI_SZ, "\"h\" \"%1\"" + nul, "refused unchanged"}, // one NUL only
        {REG_DWORD, std::string("\1\0\0\0", 4), "refused unchanged"},
        {REG_SZ, std::string(1024, 'x') + nul, "refused unchanged"}, // 1025 bytes
        {REG_SZ, "", "refused unchanged"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lookUp(c.type, c.bytes), c.command) << c.type << " " << c.bytes.size();
}

TEST_F(HandlerLookup, missingKeysOrValueFail)
{
    std::string command = "unchanged";
    EXPECT_FALSE(LookupHandlerCommand("ncbi", "dir", command));
    RegKey key;
    ASSERT_EQ(key.create(HKEY_CLASSES_ROOT, "ncbi\\shell\\put\\command"), ERROR_SUCCESS);
    EXPECT_FALSE(LookupHandlerCommand("ncbi", "put", command)); // key without a value
    EXPECT_FALSE(LookupHandlerCommand("ncbi", "dir", command));
    EXPECT_EQ(command, "unchanged");
}

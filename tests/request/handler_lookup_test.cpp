#include "request/handler_command.h"

#include "support/handler_registration.h"
#include "support/test_env.h"

#include <dbscout/registry.h>

#include <gtest/gtest.h>

using namespace Dbscout;
using namespace DbscoutTest;

namespace {

class HandlerLookup : public ::testing::Test
{
protected:
    void setCommand(DWORD type, const std::string& bytes, const char* scheme = "molb")
    {
        RegKey key;
        const std::string path = std::string(scheme) + "\\shell\\dir\\command";
        ASSERT_EQ(key.create(HKEY_CLASSES_ROOT, path.c_str()), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key.get(), "", 0, type,
                                 reinterpret_cast<const BYTE*>(bytes.data()), DWORD(bytes.size())),
                  ERROR_SUCCESS);
    }

    TestEnv m_env;
};

} // namespace

TEST_F(HandlerLookup, findsTheRegisteredTestHandler)
{
    ASSERT_TRUE(registerTestHandler("molb", "dir"));
    std::string command;
    ASSERT_TRUE(LookupHandlerCommand("molb", "dir", command));
    EXPECT_EQ(command, "\"" + testHandlerPath() + "\" \"%1\"");
    EXPECT_EQ(HandlerProgramPath(command), testHandlerPath());
    // Key names compare without regard to case.
    std::string upper;
    EXPECT_TRUE(LookupHandlerCommand("MOLB", "DIR", upper));
    EXPECT_EQ(upper, command);
}

TEST_F(HandlerLookup, acceptsTerminatedStringsOfTheThreeStringTypes)
{
    const std::string nul(1, '\0');
    struct Case
    {
        DWORD type;
        std::string bytes, command;
    } cases[] = {
        {REG_SZ, "\"h\" \"%1\"" + nul, "\"h\" \"%1\""},
        {REG_EXPAND_SZ, "\"%HOME%/h\" \"%1\"" + nul, "\"%HOME%/h\" \"%1\""}, // not expanded
        {REG_MULTI_SZ, "\"first\" \"%1\"" + nul + "second" + nul + nul, "\"first\" \"%1\""},
        {REG_SZ, "\"h\"" + nul + "tail" + nul, "\"h\""}, // ends at the first NUL
        {REG_SZ, std::string(1023, 'x') + nul, std::string(1023, 'x')},
    };
    for (const Case& c : cases) {
        setCommand(c.type, c.bytes);
        std::string command;
        EXPECT_TRUE(LookupHandlerCommand("molb", "dir", command)) << c.command;
        EXPECT_EQ(command, c.command);
    }
}

TEST_F(HandlerLookup, refusesOtherTypesUnterminatedAndOverlongValues)
{
    const std::string nul(1, '\0');
    const std::pair<DWORD, std::string> cases[] = {
        {REG_SZ, "\"h\" \"%1\""},                // no NUL
        {REG_MULTI_SZ, "\"h\" \"%1\"" + nul},    // one NUL only
        {REG_DWORD, std::string("\1\0\0\0", 4)}, // not a string
        {REG_BINARY, "\"h\" \"%1\"" + nul},      // not a string
        {REG_SZ, std::string(1024, 'x') + nul},  // 1025 bytes
        {REG_SZ, ""},                            // empty, not even a NUL
    };
    for (const auto& [type, bytes] : cases) {
        setCommand(type, bytes);
        std::string command = "unchanged";
        EXPECT_FALSE(LookupHandlerCommand("molb", "dir", command)) << type << " " << bytes.size();
        EXPECT_EQ(command, "unchanged");
    }
}

TEST_F(HandlerLookup, missingKeysOrValueFail)
{
    std::string command = "unchanged";
    EXPECT_FALSE(LookupHandlerCommand("ncbi", "dir", command));
    ASSERT_TRUE(registerTestHandler("molb", "put"));
    EXPECT_FALSE(LookupHandlerCommand("molb", "dir", command));
    RegKey key;
    ASSERT_EQ(key.create(HKEY_CLASSES_ROOT, "ncbi\\shell\\dir\\command"), ERROR_SUCCESS);
    EXPECT_FALSE(LookupHandlerCommand("ncbi", "dir", command)); // key without a value
    EXPECT_EQ(command, "unchanged");
}

#include "support/handler_registration.h"

#include "support/test_env.h"

#include <dbscout/registry.h>

namespace DbscoutTest {

std::string testHandlerPath()
{
    return testBinaryDir() + "/dbscout-test-handler";
}

bool registerHandler(const std::string& scheme, const std::string& verb, const std::string& program)
{
    Dbscout::RegKey key;
    const std::string path = scheme + "\\shell\\" + verb + "\\command";
    if (key.create(HKEY_CLASSES_ROOT, path.c_str()) != ERROR_SUCCESS)
        return false;
    const std::string command = "\"" + program + "\" \"%1\"";
    return RegSetValueExA(key.get(), "", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                          DWORD(command.size() + 1)) == ERROR_SUCCESS;
}

bool registerTestHandler(const std::string& scheme, const std::string& verb)
{
    return registerHandler(scheme, verb, testHandlerPath());
}

} // namespace DbscoutTest

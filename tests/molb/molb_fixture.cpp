#include "molb_fixture.h"

namespace MolbTest {

void UsersFixture::SetUp()
{
    store = makeStore("lab");
    for (const char* user : {"ann", "bob"})
        ASSERT_EQ(store.admin("user add", {user, "--group", "bench"}, std::string(user) + "-pw\n")
                      .exitCode,
                  0);
    ASSERT_EQ(store.admin("user add", {"eve"}, "eve-pw\n").exitCode, 0);
}

std::string UsersFixture::as(const std::string& user)
{
    return "&user=" + user + "&pass=" + user + "-pw";
}

std::string UsersFixture::save(const std::string& user, const std::string& name,
                               const std::string& kind)
{
    return saveObject(store.database, kind, name, ">" + name + "\nACGT\n", as(user));
}

ProcessResult UsersFixture::operation(const std::string& user, const std::string& path,
                                      const std::string& parameters, const std::string& kind)
{
    return runHandler(
        store.url(kind + "/" + path + "?start=0&page=50" + as(user) + "&" + parameters));
}

Dbscout::ResultPage UsersFixture::mainPage(const std::string& user, const std::string& kind)
{
    return parseResultPage(
        runHandler(store.url(kind + "/?start=0&page=50&query=MAIN" + as(user))).output);
}

std::string UsersFixture::holders()
{
    std::string text;
    for (const Dbscout::ResultRow& row : mainPage("ann").rows)
        text += (text.empty() ? "" : " ") + row.name + "=" + row.checkoutBy;
    return text;
}

void UsersFixture::chmod(const std::string& id, const std::string& mode)
{
    const ProcessResult result = store.admin("chmod", {id, mode});
    ASSERT_EQ(result.exitCode, 0) << result.errors;
}

} // namespace MolbTest

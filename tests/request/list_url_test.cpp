#include "request/list_url.h"

#include <gtest/gtest.h>

using namespace Dbscout;

namespace {

ListUrlInput typedAddress(const std::string& address, bool openMode = true)
{
    ListUrlInput input;
    input.source.boxText = address;
    input.pageStart = 0;
    input.pageSize = 20;
    input.openMode = openMode;
    return input;
}

ListUrlInput withLogin(const std::string& address, const std::string& user,
                       const std::string& password)
{
    ListUrlInput input = typedAddress(address);
    input.source.hasDescriptor = true;
    input.source.descriptorUrl = address;
    input.source.descriptorLogin = true;
    input.source.descriptorUser = user;
    input.source.descriptorPassword = password;
    input.source.boxText = "Description of the source";
    return input;
}

} // namespace

TEST(ListUrl, composesAddressPagingCredentialsQueryAndMode)
{
    ListUrlInput example = withLogin("molb://host/db/sub", "ann", "s3cret");
    example.pageStart = 40;
    example.queryBoxText = "a b";
    example.openMode = false;

    ListUrlInput emptyPassword = withLogin("molb://host/db", "ann", "");

    const std::pair<ListUrlInput, std::string> cases[] = {
        {example, "molb://host/db/sub?start=40&page=20&user=ann&pass=s3cret&query=a%20b"
                  "&writable=yes"},
        {typedAddress("molb://host/db"), "molb://host/db?start=0&page=20"},
        {typedAddress("molb://host/db", false), "molb://host/db?start=0&page=20&writable=yes"},
        {emptyPassword, "molb://host/db?start=0&page=20&user=ann&pass="},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(BuildListUrl(input).url, expected);
}

TEST(ListUrl, objectPathFollowsTheAddressAfterExactlyOneSlash)
{
    const std::string ids = "7,9";
    const std::string empty;
    EXPECT_EQ(BuildListUrl(typedAddress("molb://host/db"), &ids).url,
              "molb://host/db/7,9?start=0&page=20");
    EXPECT_EQ(BuildListUrl(typedAddress("molb://host/db/"), &ids).url,
              "molb://host/db/7,9?start=0&page=20");
    EXPECT_EQ(BuildListUrl(typedAddress("molb://host/db"), &empty).url,
              "molb://host/db/?start=0&page=20");
}

TEST(ListUrl, choosesPendingAddressThenDescriptorThenBoxText)
{
    ListUrlInput input = withLogin("molb://listed/db", "ann", "pw");
    input.source.pendingAddress = "molb://typed/db";
    ListUrlResult pending = BuildListUrl(input);
    EXPECT_EQ(pending.sourceUrl, "molb://typed/db");
    EXPECT_TRUE(pending.pendingUsed);
    EXPECT_FALSE(pending.sourceFromList);
    EXPECT_EQ(pending.user, ""); // a typed address forgets the descriptor's login
    EXPECT_EQ(pending.url, "molb://typed/db?start=0&page=20");

    input.source.pendingAddress.reset();
    ListUrlResult listed = BuildListUrl(input);
    EXPECT_EQ(listed.sourceUrl, "molb://listed/db");
    EXPECT_TRUE(listed.sourceFromList);
    EXPECT_FALSE(listed.pendingUsed);
    EXPECT_EQ(listed.user, "ann");
    EXPECT_EQ(listed.password, "pw");

    input.source.descriptorLogin = false;
    ListUrlResult noLogin = BuildListUrl(input);
    EXPECT_EQ(noLogin.user, "");
    EXPECT_EQ(noLogin.url, "molb://listed/db?start=0&page=20");

    ListUrlResult typed = BuildListUrl(typedAddress("molb://box/db"));
    EXPECT_EQ(typed.sourceUrl, "molb://box/db");
    EXPECT_FALSE(typed.sourceFromList);
}

TEST(ListUrl, recordsTheQueryEvenWithoutAnAddress)
{
    ListUrlInput input = typedAddress("");
    input.queryBoxText = "MAIN";
    const ListUrlResult result = BuildListUrl(input);
    EXPECT_EQ(result.url, "");
    EXPECT_EQ(result.query, "MAIN");
}

TEST(ListUrl, singleSelectionOnlyForDescriptorsWithoutFlagAOrInSaveMode)
{
    struct Case
    {
        bool descriptor, flagA, openMode, single;
    } cases[] = {
        {true, false, true, true},  {true, true, true, false},   {true, true, false, true},
        {true, false, false, true}, {false, false, true, false}, {false, false, false, false},
    };
    for (const Case& c : cases) {
        ListUrlInput input = withLogin("molb://h/d", "u", "p");
        input.source.hasDescriptor = c.descriptor;
        input.source.descriptorFlagA = c.flagA;
        input.openMode = c.openMode;
        EXPECT_EQ(BuildListUrl(input).singleSelection, c.single)
            << c.descriptor << c.flagA << c.openMode;
    }
}

TEST(ListUrl, comboTextPrefersTheEditFieldAndCutsItemText)
{
    EXPECT_EQ(ComboBoxText("typed", "item"), "typed");
    EXPECT_EQ(ComboBoxText("", "item"), "item");
    EXPECT_EQ(ComboBoxText("", std::string(300, 'x')), std::string(260, 'x'));
    EXPECT_EQ(ComboBoxText(std::string(300, 'y'), ""), std::string(300, 'y'));
}

TEST(SubsetListUrl, keepsTheListingUpToItsLastSlashWithCredentialsAndWritable)
{
    const std::string listing = "molb://host/db/sub?start=0&page=20";
    EXPECT_EQ(BuildSubsetListUrl(listing, "", "", false), "molb://host/db/?writable=yes");
    EXPECT_EQ(BuildSubsetListUrl(listing, "ann", "pw", false),
              "molb://host/db/?user=ann&pass=pw&writable=yes");
    EXPECT_EQ(BuildSubsetListUrl(listing, "", "", true), "molb://host/db/");
    EXPECT_EQ(BuildSubsetListUrl(listing, "ann", "", true), "molb://host/db/?user=ann&pass=");
}

TEST(SubsetListUrl, failsWithoutASlashAfterTheFirstCharacter)
{
    EXPECT_FALSE(BuildSubsetListUrl("no-slash?start=0", "", "", true));
    EXPECT_FALSE(BuildSubsetListUrl("/only-leading", "", "", true));
    EXPECT_EQ(BuildSubsetListUrl("a/", "", "", true), "a/");
}

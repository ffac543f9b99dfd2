#include "request/operation_urls.h"

#include <gtest/gtest.h>

using namespace Dbscout;

namespace {
const std::string kListing = "molb://host/db/7,9?start=0&page=20&user=ann&pass=pw&query=Alpha";
const std::string kPrefix = "molb://host/db/7,9?start=0&page=20&user=ann&pass=pw&query=Alpha&";
} // namespace

TEST(OperationUrls, checkInAndOutNameTheirCommandThenAskForTheListing)
{
    EXPECT_EQ(BuildCheckUrl(kListing, CheckCommand::CheckIn, false),
              kPrefix + "command=ci&command=dir");
    EXPECT_EQ(BuildCheckUrl(kListing, CheckCommand::CheckIn, true),
              kPrefix + "command=ci&descendant=ci&command=dir");
    EXPECT_EQ(BuildCheckUrl(kListing, CheckCommand::CheckOut, true),
              kPrefix + "command=co&descendant=co&command=dir");
    EXPECT_EQ(BuildUndoCheckOutUrl(kListing), kPrefix + "command=unco&command=dir");
}

TEST(OperationUrls, commentIsEscapedAndAnEmptyOneStillAppearsAsParameter)
{
    std::string url = BuildCheckUrl(kListing, CheckCommand::CheckOut, false);
    AppendComment(url, "x=1&y");
    EXPECT_EQ(url, kPrefix + "command=co&command=dir&comment=x\\x3D1\\x26y");
    std::string empty = "u?a=1";
    AppendComment(empty, "");
    EXPECT_EQ(empty, "u?a=1&comment=");
}

TEST(OperationUrls, createSubsetDropsTheListingQueryAndLeavesOneAmpersand)
{
    const std::pair<std::string, std::string> cases[] = {
        {kListing, "molb://host/db/7,9?start=0&page=20&user=ann&pass=pw&command=cs&command=dir"
                   "&query=New set"},
        {"molb://h/d/?start=0&page=20&query=A&writable=yes",
         "molb://h/d/?start=0&page=20&writable=yes&command=cs&command=dir&query=New set"},
        {"molb://h/d/?start=0&page=20", "molb://h/d/?start=0&page=20&command=cs&command=dir"
                                        "&query=New set"},
    };
    for (const auto& [listing, expected] : cases)
        EXPECT_EQ(BuildCreateSubsetUrl(listing, "New set"), expected);
}

TEST(OperationUrls, accessRightsCarryModesAndRawSubsetName)
{
    EXPECT_EQ(BuildObjectAccessUrl(kListing, "rw*"),
              kPrefix + "command=ochmod&command=dir&objmode=rw*");
    EXPECT_EQ(BuildSubsetAccessUrl("molb://h/d/?start=0&page=20", "w-r", "My set"),
              "molb://h/d/?start=0&page=20&command=schmod&command=dir&subsetmode=w-r"
              "&subset=My set");
}

TEST(OperationUrls, saveUrlAddsForceAndEscapedArchiveNameBySeparatorRule)
{
    EXPECT_EQ(BuildSaveUrl("molb://h/d/n?query=&command=put", true, "my file.gb"),
              "molb://h/d/n?query=&command=put&force=yes&arcname=my%20file%2egb");
    EXPECT_EQ(BuildSaveUrl("molb://h/d/n", false, "a"), "molb://h/d/n?arcname=a");
    EXPECT_EQ(BuildSaveUrl("molb://h/d/n", true, ""), "molb://h/d/n?force=yes&arcname=");
}

TEST(OperationUrls, objectIdsJoinWithCommas)
{
    EXPECT_EQ(JoinObjectIds({}), "");
    EXPECT_EQ(JoinObjectIds({"Alpha/P1"}), "Alpha/P1");
    EXPECT_EQ(JoinObjectIds({"7", "9", "12"}), "7,9,12");
}

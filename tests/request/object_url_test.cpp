#include "request/object_url.h"

#include <gtest/gtest.h>

using namespace Dbscout;

namespace {

ObjectUrlInput named(const std::string& name, bool openMode)
{
    ObjectUrlInput input;
    input.nameBoxText = name;
    input.sourceUrl = "molb://host/db/sub";
    input.openMode = openMode;
    input.serverVersion = 3;
    input.checkOptionsArmed = true;
    return input;
}

} // namespace

TEST(ObjectUrl, openModeExampleReplacesTheLastSegmentWithTheTrimmedName)
{
    ObjectUrlInput input = named(" my seq ", true);
    input.options.checkoutOnOpen = true;
    const auto url = BuildObjectUrl(input);
    ASSERT_TRUE(url);
    EXPECT_EQ(url->url, "molb://host/db/my%20seq?query=&command=fetch&command=co");
    EXPECT_EQ(url->name, "my seq");
}

TEST(ObjectUrl, carriesEscapedQueryAndRawCredentials)
{
    ObjectUrlInput input = named("dir/a.b", true);
    input.query = "x y/z";
    input.user = "ann";
    input.password = "p&w";
    input.checkOptionsArmed = false;
    EXPECT_EQ(BuildObjectUrl(input)->url,
              "molb://host/db/dir/a%2eb?query=x%20y%2fz&user=ann&pass=p&w&command=fetch");
    input.password = "";
    EXPECT_EQ(BuildObjectUrl(input)->url,
              "molb://host/db/dir/a%2eb?query=x%20y%2fz&user=ann&pass=&command=fetch");
}

TEST(ObjectUrl, checkAndDescendantOptionsFollowModeVersionAndArming)
{
    struct Case
    {
        bool openMode;
        int version;
        bool armed;
        ObjectUrlOptions options;
        std::string tail;
    } cases[] = {
        {true,
         3,
         true,
         {true, true, false, false, 1, 0},
         "&command=fetch&command=co&descendant=co"},
        {true, 2, true, {true, true, false, false, 1, 0}, "&command=fetch&command=co"},
        {true, 3, false, {true, true, false, false, 1, 0}, "&command=fetch"},
        {true, 3, true, {false, true, false, false, 1, 0}, "&command=fetch&descendant=co"},
        {false,
         3,
         true,
         {false, false, true, true, 0, 1},
         "&command=put&pdmode=reconstruct&pderror=disconnect&command=ci&descendant=ci"},
        {false, 3, true, {false, false, false, false, 2, 0}, "&command=put&pdmode=disconnect"},
        {false, 3, true, {false, false, false, false, 1, 0}, "&command=put"},
        {false, 2, true, {false, false, true, true, 0, 1}, "&command=put&command=ci"},
        {false,
         4,
         false,
         {false, false, true, true, 2, 1},
         "&command=put&pdmode=disconnect&pderror=disconnect"},
    };
    for (const Case& c : cases) {
        ObjectUrlInput input = named("n", c.openMode);
        input.serverVersion = c.version;
        input.checkOptionsArmed = c.armed;
        input.options = c.options;
        EXPECT_EQ(BuildObjectUrl(input)->url, "molb://host/db/n?query=" + c.tail) << c.tail;
    }
}

TEST(ObjectUrl, blankNameStillPassesButEmptyNameOrSlashlessAddressFail)
{
    ObjectUrlInput blanks = named("   ", true);
    blanks.checkOptionsArmed = false;
    EXPECT_EQ(BuildObjectUrl(blanks)->url, "molb://host/db/?query=&command=fetch");

    EXPECT_FALSE(BuildObjectUrl(named("", true)));
    ObjectUrlInput noSlash = named("n", true);
    noSlash.sourceUrl = "molb:";
    EXPECT_FALSE(BuildObjectUrl(noSlash));
}

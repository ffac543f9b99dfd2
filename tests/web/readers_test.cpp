// What a web service's answer says beside its data: the Link header that names the next page of
// a paged answer (UniProt's REST searches), and a web page that came where data was asked for.
// That any bytes end in a target or none is the Link fuzzer's to check.

#include "link_header.h"
#include "web_page.h"

#include <gtest/gtest.h>

using namespace Dbscout::Web;

namespace {

TEST(LinkHeader, theNextPagesTargetIsFoundAmongLinksParametersAndQuotes)
{
    // UniProt's own form of the header (rest.uniprot.org, "Pagination" in UniProt's help).
    const std::string uniprot =
        "<https://rest.uniprot.org/uniprotkb/search?query=insulin&cursor=1mkycb2xwxbouw&size=500>; "
        "rel=\"next\"";
    struct Case
    {
        std::string value;
        std::optional<std::string> next;
    };
    for (const Case& c : std::vector<Case>{
             {uniprot, "https://rest.uniprot.org/uniprotkb/search?query=insulin&cursor="
                       "1mkycb2xwxbouw&size=500"},
             // Several links; the relation as a token, in capitals, or among others.
             {"<https://a/1>; rel=prev, <https://a/3>; rel=next", "https://a/3"},
             {"<https://a/1>; rel=\"prev NEXT\"", "https://a/1"},
             // A comma inside the target or a quoted parameter ends no link.
             {"<https://a/?q=x,y>; title=\"a, b; c\"; rel=\"next\"", "https://a/?q=x,y"},
             {"<https://a/1>; title=\"say \\\"next\\\", <b>\"; rel=prev, <https://a/2>; rel=next",
              "https://a/2"},
             // Links that do not read are passed over; what is not the next page is not taken.
             {"garbage, <https://a/2>; rel=next", "https://a/2"},
             {"<https://a/1; rel=next", std::nullopt},
             {"<https://a/1>; rel=nextpage", std::nullopt},
             {"<https://a/1>; rel; next, <>; rel=next", std::nullopt},
             {"https://a/1; rel=next", std::nullopt},
             {"", std::nullopt},
         }) {
        EXPECT_EQ(linkTarget(c.value, "next"), c.next) << c.value;
    }
}

TEST(WebPage, aPageWhereDataWasAskedIsNamedByItsTitle)
{
    EXPECT_EQ(webPage("<eSearchResult/>"), std::nullopt);
    EXPECT_EQ(webPage("Entry\tEntry Name\n"), std::nullopt);
    EXPECT_EQ(webPage("  <HTML><body>x</body></HTML>"), "a web page");
    EXPECT_EQ(webPage("\xef\xbb\xbf<?xml version=\"1.0\"?>\n<!DOCTYPE html>\n<html><head><title>"
                      "  Service\n unavailable </title>"),
              "a web page titled \"Service unavailable\"");
}

} // namespace

// Where the "cc: to Local DB" copies go: the place read from a save URL, the requests built on
// it, the default among configured sources, and what the demo reads from the handler's pages.

#include "configured_sources.h"
#include "copy_place.h"
#include "object_fetcher.h"
#include "object_saver.h"

#include <gtest/gtest.h>

TEST(CopyPlace, readsASaveUrlAndBuildsEachKindsRequestsOnIt)
{
    const std::optional<CopyPlace> place = CopyPlace::fromSaveUrl(
        "molb://local/lab/citation/%28x%29?query=From%20NCBI&user=ann&pass=p%w&command=put"
        "&command=ci");
    ASSERT_TRUE(place);
    EXPECT_EQ(place->subset(), "From NCBI");
    EXPECT_EQ(place->sourceAddress(), "molb://local/lab/citation/");
    // Named by the configured source the user finds it under, else by its address.
    ConfiguredSource lab;
    lab.name = "Lab books";
    lab.address = "molb://local/lab";
    EXPECT_EQ(place->description({}), "molb://local/lab/, subset From NCBI");
    EXPECT_EQ(place->description({lab}), "Lab books, subset From NCBI");
    EXPECT_EQ(place->description({lab}, "dnarna"), "Lab books (DNA/RNA), subset From NCBI");
    EXPECT_EQ(place->description({}, "dnarna"), "molb://local/lab/dnarna/, subset From NCBI");
    // Another kind, the name escaped; the save options stay.
    EXPECT_EQ(place->putUrl("dnarna", "NM_000410 x"),
              "molb://local/lab/dnarna/NM_000410%20x?query=From%20NCBI&user=ann&pass=p%w"
              "&command=put&command=ci");
    EXPECT_EQ(place->subsetNamesUrl("protein"),
              "molb://local/lab/protein/?user=ann&pass=p%w&writable=yes");
    // The new subset's name raw and last, as the handler reads it.
    EXPECT_EQ(place->createSubsetUrl("protein"),
              "molb://local/lab/protein/?user=ann&pass=p%w&start=0&page=1&command=cs"
              "&command=dir&query=From NCBI");

    // A server store with credentials in its authority, no login parameters, no subset.
    const std::optional<CopyPlace> server =
        CopyPlace::fromSaveUrl("molb://ann:pw@db.lab:5432/lab/dnarna/x?query=main&command=put");
    ASSERT_TRUE(server);
    EXPECT_EQ(server->subset(), "");
    EXPECT_EQ(server->description({lab}, "citation"), "molb://db.lab:5432/lab/citation/");
    EXPECT_EQ(server->subsetNamesUrl("citation"),
              "molb://ann:pw@db.lab:5432/lab/citation/?writable=yes");

    for (const char* refused : {"", "ncbi://entrez/pubmed/citation/1?command=put",
                                "molb://local/lab/x?query=a&command=put",
                                "molb://local/lab/notakind/x?command=put", "molb://local/x"})
        EXPECT_FALSE(CopyPlace::fromSaveUrl(refused)) << refused;
}

TEST(CopyPlace, theDefaultIsTheFirstLocalStoreThatSavesWithItsLogin)
{
    const auto source = [](const char* name, const char* address, bool canSave, bool login) {
        ConfiguredSource s;
        s.name = name;
        s.address = address;
        s.canSave = canSave;
        s.hasLogin = login;
        s.user = "demo";
        s.password = "pw";
        return s;
    };
    const std::vector<ConfiguredSource> sources = {
        source("NCBI", "ncbi://entrez/pubmed/", false, false),
        source("Server", "molb://db.lab/lab/", true, true),
        source("Archive", "molb://local/old/", false, false),
        source("Demo database", "molb://local/demo", true, true),
        source("Second", "molb://local/two/", true, false),
    };
    const std::optional<CopyPlace> place = CopyPlace::byDefault(sources);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->saveUrl(),
              "molb://local/demo/citation/NAME?query=From%20NCBI&user=demo&pass=pw&command=put");
    EXPECT_FALSE(CopyPlace::byDefault({sources[0], sources[1], sources[2]}));

    // The Data Source box names sources alone or once per kind; other text is an address.
    for (const auto& [text, address] : std::vector<std::pair<std::string, std::string>>{
             {"NCBI", "ncbi://entrez/pubmed/"},
             {"Demo database (Citation)", "molb://local/demo"},
             {"Demo database (Analyses)", "molb://local/demo"},
             {"Demo database (Other)", "Demo database (Other)"},
             {"molb://local/typed/dnarna/", "molb://local/typed/dnarna/"},
         })
        EXPECT_EQ(sourceAddressOf(sources, text), address) << text;
    // And back, for a panel that shows every kind; the kind path as the panel appends it.
    for (const auto& [address, text] : std::vector<std::pair<std::string, std::string>>{
             {"molb://local/demo/citation/", "Demo database (Citation)"},
             {"ncbi://entrez/pubmed/analysis/", "NCBI (Analyses)"},
             {"molb://local/demo/", "molb://local/demo/"},
             {"molb://local/typed/dnarna/", "molb://local/typed/dnarna/"},
         })
        EXPECT_EQ(sourceTextOf(sources, address), text) << address;
    EXPECT_EQ(kindAddress("ncbi:", "protein"), "ncbi:protein/");
    EXPECT_EQ(sourceNameOf(sources, "molb://local/demo/"), "Demo database");
    EXPECT_EQ(sourceNameOf(sources, "molb://local/none/"), "");
    EXPECT_TRUE(isLocalAddress("molb://local/demo/"));
    EXPECT_FALSE(isLocalAddress("molb://localhost/demo/"));
    EXPECT_FALSE(isLocalAddress("ncbi://entrez/pubmed/"));
}

// The name reads as people write it (the panel escaped it in the URL); what the handler's
// comment cannot carry raw travels in its escapes.
TEST(CopyPlace, aCommentSaysWhereInTheHandlersEscapes)
{
    std::string url = "molb://local/lab/dnarna/x?command=put";
    appendCopiedFrom(url, "ncbi://e/dnarna/U18266%2e1%20a&b\\c\nd\x7f%25%0a%26");
    EXPECT_EQ(url, "molb://local/lab/dnarna/x?command=put&comment=Copied from "
                   "ncbi://e/dnarna/U18266.1 a\\x26b\\\\c\\x0Ad\\x7F%\\x0A\\x26");
    EXPECT_EQ(saveLocation("molb://u:p@h/lab/dnarna/n?query=a/b&user=u"), "molb://h/lab/dnarna/");
    for (const auto& [url, address] : std::vector<std::pair<std::string, std::string>>{
             {"molb://ann:pw@db:5432/lab/dnarna/17?query=x&command=fetch",
              "molb://db:5432/lab/dnarna/17"},
             {"ncbi://entrez/pubmed/citation/7?query=a@b/c&command=fetch",
              "ncbi://entrez/pubmed/citation/7"},
             {"molb://db/lab/dnarna/a@b?user=u&pass=p", "molb://db/lab/dnarna/a@b"},
             {"no scheme@all", "no scheme@all"},
         })
        EXPECT_EQ(publicAddress(url), address) << url;
}

TEST(CopyPlace, subsetNamesAreTheDirectoryOfAResultPage)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"<?xml version=\"1.0\"?><html version=\"3.0\"><head><title>citation</title></head>"
         "<body id=\"OK\"><dir><li><a>MAIN</a></li><li><a> From NCBI </a></li>"
         "<li><a>R&amp;D <b>notes</b></a></li></dir><table/></body></html>",
         {"MAIN", "From NCBI", "R&D notes"}},
        // Entries elsewhere than in the body's directory are no subsets.
        {"<html><body><table><dir><li><a>no</a></li></dir></table><dir><li>bare</li></dir>"
         "</body></html>",
         {}},
        {"<html><body id=\"ERROR\">Wrong user name or password.</body></html>", {}},
        // A cut or malformed page lists nothing, not the part before the fault.
        {"<html><body><dir><li><a>MAIN</a></li><li><a>cut", {}},
        {"<html><body><dir><li><a>MAIN</a></li></dir></body></html><html/>", {}},
        {"", {}},
    };
    for (const auto& [page, names] : cases)
        EXPECT_EQ(ObjectFetcher::subsetNames(page), names) << page;
}

// The text forms the object views show.

#include "record_text.h"

#include <gtest/gtest.h>

TEST(RecordText, residuesWrapInNumberedGroupsOfTen)
{
    struct Case
    {
        QString residues;
        int perLine;
        QString text;
    };
    const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXY"; // 25 residues
    const Case cases[] = {
        {"", 60, ""},
        {alphabet, 20, " 1 ABCDEFGHIJ KLMNOPQRST\n21 UVWXY"},
        // A line width that is no multiple of ten rounds down; below ten it is ten.
        {alphabet, 25, " 1 ABCDEFGHIJ KLMNOPQRST\n21 UVWXY"},
        {alphabet, 3, " 1 ABCDEFGHIJ\n11 KLMNOPQRST\n21 UVWXY"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatResidues(c.residues, c.perLine), c.text) << c.perLine;
    // The numbers line up for the longest one.
    const QString text = formatResidues(QString(1000, 'A'), 100);
    EXPECT_TRUE(text.startsWith("  1 AAAAAAAAAA"));
    EXPECT_TRUE(text.contains("\n901 AAAAAAAAAA"));
}

TEST(RecordText, citationIsAFormattedReferenceWithItsTextEscaped)
{
    Dbscout::Records::Citation citation;
    citation.pmid = "12230038";
    citation.authors = {"Mangalam H", "O'Neil <A>"};
    citation.title = "Tools & toolkits";
    citation.journal = "Brief Bioinform", citation.year = "2002";
    citation.volume = citation.issue = "3", citation.pages = "296-302";
    citation.abstract = "x < y";
    const QString html = citationHtml(citation);
    EXPECT_TRUE(
        html.startsWith("<p>Mangalam H, O'Neil &lt;A&gt; (2002). <b>Tools &amp; toolkits.</b> "
                        "<i>Brief Bioinform</i> <b>3</b>(3):296-302.</p>"))
        << qPrintable(html);
    EXPECT_TRUE(html.contains("<p>PMID: 12230038</p>"));
    EXPECT_TRUE(html.contains("<p>x &lt; y</p>"));

    const QString bare = citationHtml(Dbscout::Records::Citation());
    EXPECT_TRUE(bare.startsWith("<p>Anonymous ()")) << qPrintable(bare);
    EXPECT_FALSE(bare.contains("PMID"));
    EXPECT_FALSE(bare.contains("Abstract"));
}

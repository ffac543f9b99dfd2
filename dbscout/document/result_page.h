#pragma once
// The answer to every listing: the kind of objects, the subset directory, the listed subset, the
// column headers, one row per object and the three paging numbers. Filled once on the request
// job's worker thread, then only read by the panel, which copies rows as list-row data.

#include "document/answer_page.h"
#include "document/xml_reader.h"

#include <string>
#include <vector>

namespace Dbscout {

struct SubsetEntry
{
    std::string name;
    std::string mode; // owner, group and other, each "-", "r" or "w"; empty where not given
};

struct ResultRow
{
    std::vector<std::string> cells; // columns 1, 2, ... of the list
    std::string name;               // column 0
    std::string id;                 // how requests address the object
    bool readable = true;
    bool writable = true;
    std::string checkoutBy; // empty where nobody holds the object checked out
    std::string mode;
};

class ResultPage final : public AnswerPage
{
public:
    // Throws CXMLException at the first missing required piece; what was filled before stays,
    // including a row that was being read. A page in the plain form that handlers send is read
    // in one pass (streamResultPage), any other through parseTree.
    void parseText(const char* text) override;

    // Reads the page through the document tree with CXMLReader: the reading that defines every
    // rule and message, for pages of any form. parseText gives the same result, faster.
    void parseTree(const char* text);

    std::vector<SubsetEntry> subsets;
    SubsetEntry caption;
    std::vector<std::string> columns;
    std::vector<ResultRow> rows;
    int totalFound = 0;
    int pageSize = 0;
    int firstNumber = 0;

private:
    void readSubsets(CXMLReader& reader);
    void readTable(CXMLReader& reader);
    void readRow(CXMLReader& reader, XMLNodeList& cells, ResultRow& row);
    void readNumbers(CXMLReader& reader);
};

} // namespace Dbscout

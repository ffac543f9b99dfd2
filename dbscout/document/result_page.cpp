#include "document/result_page.h"

#include "document/result_page_stream.h"
#include "document/xml_reader.h"

namespace Dbscout {

void ResultPage::parseText(const char* text)
{
    ResultPage streamed;
    if (streamResultPage(text, streamed)) {
        *this = std::move(streamed);
        return;
    }
    parseTree(text);
}

void ResultPage::parseTree(const char* text)
{
    CXMLReader reader;
    openBody(reader, text);
    if (!statusIs("OK")) {
        reader.GetText(message, true);
    } else {
        readSubsets(reader);
        readTable(reader);
        readNumbers(reader);
    }
    reader.PopElement("body");
}

void ResultPage::readSubsets(CXMLReader& reader)
{
    reader.PushChild("dir", true);
    XMLNodeList items;
    reader.SelectNodes(items, "li", false);
    for (long i = 0; i < CXMLReader::GetCount(items); ++i) {
        reader.PushItem(items, i, true);
        reader.PushChild("a", true);
        SubsetEntry entry;
        reader.GetText(entry.name, true);
        subsets.push_back(std::move(entry));
        reader.PopElement("a");
        reader.PopElement("li");
    }
    reader.PopElement("dir");
}

void ResultPage::readTable(CXMLReader& reader)
{
    reader.PushChild("table", true);
    reader.PushChild("caption", true);
    reader.PushChild("a", true);
    reader.GetAttribute("mode", caption.mode, false);
    reader.PopElement("a");
    reader.GetText(caption.name, true);
    reader.PopElement("caption");

    XMLNodeList tableRows;
    reader.SelectNodes(tableRows, "tr", true);
    reader.PushItem(tableRows, 0, true);
    XMLNodeList headers;
    reader.SelectNodes(headers, "th", true);
    for (long i = 0; i < CXMLReader::GetCount(headers); ++i) {
        reader.PushItem(headers, i, true);
        std::string header;
        reader.GetText(header, true);
        columns.push_back(std::move(header));
        reader.PopElement("th");
    }
    reader.PopElement("tr");

    rows.reserve(size_t(CXMLReader::GetCount(tableRows)));
    XMLNodeList cells; // reused: one selection per row would be an allocation per row
    for (long i = 1; i < CXMLReader::GetCount(tableRows); ++i) {
        reader.PushItem(tableRows, i, true);
        // Appended before it is read, so that a page failing half-way keeps what it had.
        readRow(reader, cells, rows.emplace_back());
        reader.PopElement("tr");
    }
    reader.PopElement("table");
}

void ResultPage::readRow(CXMLReader& reader, XMLNodeList& cells, ResultRow& row)
{
    reader.SelectNodes(cells, "td", true);
    reader.PushItem(cells, 0, true);
    reader.PushChild("a", true);
    reader.GetText(row.name, true);
    reader.GetAttribute("id", row.id, true);
    reader.GetAttribute("checkout_by", row.checkoutBy, false);
    std::string access;
    if (reader.GetAttribute("access", access, false)) {
        row.readable = access.find('r') != std::string::npos;
        row.writable = access.find('w') != std::string::npos;
    }
    reader.GetAttribute("mode", row.mode, false);
    reader.PopElement("a");
    reader.PopElement("td");

    row.cells.reserve(size_t(CXMLReader::GetCount(cells) - 1));
    for (long i = 1; i < CXMLReader::GetCount(cells); ++i) {
        reader.PushItem(cells, i, true);
        std::string cell;
        reader.GetText(cell, true);
        row.cells.push_back(std::move(cell));
        reader.PopElement("td");
    }
}

void ResultPage::readNumbers(CXMLReader& reader)
{
    XMLNodeList paragraphs;
    reader.SelectNodes(paragraphs, "p", true);
    int* const targets[] = {&totalFound, &pageSize, &firstNumber};
    for (long i = 0; i < 3; ++i) {
        reader.PushItem(paragraphs, i, true);
        reader.PushChild("b", true);
        std::string number;
        reader.GetText(number, true);
        *targets[i] = parseDecimal(number);
        reader.PopElement("b");
        reader.PopElement("p");
    }
}

} // namespace Dbscout

#include "page_writer.h"

#include "utf8.h"

namespace Dbscout::Molb {
namespace {

constexpr const char* kErrorTitle = "molb error";

void openPage(std::string& page, const char* title, const char* status)
{
    page += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<html version=\"";
    page += kPageVersion;
    page += "\"><head><title>";
    page += title;
    page += "</title></head>\n<body id=\"";
    page += status;
    page += "\">";
}

void closePage(std::string& page)
{
    page += "</body></html>\n";
}

void appendAttribute(std::string& page, const char* name, const std::string& value)
{
    page += ' ';
    page += name;
    page += "=\"";
    appendXmlText(page, value);
    page += '"';
}

void appendCell(std::string& page, Field field, const std::string& value)
{
    page += "<td>";
    appendXmlText(page, isTimeField(field) ? displayTime(value) : value);
    page += "</td>";
}

void appendRow(std::string& page, Kind kind, const ObjectRow& row)
{
    page += "<tr><td><a";
    appendAttribute(page, "id", row.id);
    appendAttribute(page, "access", accessText(row.right));
    appendAttribute(page, "checkout_by", row.checkoutBy);
    appendAttribute(page, "mode", row.mode);
    page += '>';
    appendXmlText(page, row.meta[Field::Name]);
    page += "</a></td>";
    for (const KindColumn& column : kindColumns(kind).subspan(1))
        appendCell(page, column.field, row.meta[column.field]);
    page += "</tr>\n";
}

void appendNumber(std::string& page, std::int64_t number)
{
    page += "<p><b>" + std::to_string(number) + "</b></p>";
}

} // namespace

std::string resultPage(const ResultPageContent& content)
{
    std::string page;
    page.reserve(1024 + content.listing.rows.size() * 400);
    openPage(page, kindKeyword(content.kind), "OK");
    page += "\n<dir>";
    for (const SubsetInfo& subset : content.subsets) {
        page += "<li><a>";
        appendXmlText(page, subset.name);
        page += "</a></li>";
    }
    page += "</dir>\n<table><caption><a";
    if (!content.caption.mode.empty())
        appendAttribute(page, "mode", content.caption.mode);
    page += '>';
    appendXmlText(page, content.caption.name);
    page += "</a></caption>\n<tr>";
    for (const KindColumn& column : kindColumns(content.kind)) {
        page += "<th>";
        page += column.header;
        page += "</th>";
    }
    page += "</tr>\n";
    for (const ObjectRow& row : content.listing.rows)
        appendRow(page, content.kind, row);
    page += "</table>\n";
    appendNumber(page, content.listing.found);
    appendNumber(page, content.pageSize);
    appendNumber(page, content.listing.rows.empty() ? 0 : content.start + 1);
    page += '\n';
    closePage(page);
    return page;
}

std::string statusPage(const char* status, const std::string& linkText, const std::string& href,
                       const std::vector<std::string>& remarks)
{
    std::string page;
    openPage(page, status, status);
    page += "<a";
    appendAttribute(page, "href", href);
    page += '>';
    appendXmlText(page, linkText);
    page += "</a>";
    for (const std::string& remark : remarks) {
        page += "\n<p>";
        appendXmlText(page, remark);
        page += "</p>";
    }
    closePage(page);
    return page;
}

std::string errorPage(const std::string& message)
{
    std::string page;
    openPage(page, kErrorTitle, "ERROR");
    appendXmlText(page, message);
    closePage(page);
    return page;
}

} // namespace Dbscout::Molb

#include "page_writer.h"

#include "utf8.h"

namespace Dbscout::Handlers {
namespace {

void openPage(std::string& page, const PageStyle& style, std::string_view title, const char* status)
{
    page += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<html version=\"";
    page += style.version;
    page += "\"><head><title>";
    appendXmlText(page, title);
    page += "</title></head>\n<body id=\"";
    page += status;
    page += "\">";
}

void closePage(std::string& page)
{
    page += "</body></html>\n";
}

void appendAttribute(std::string& page, const char* name, std::string_view value)
{
    page += ' ';
    page += name;
    page += "=\"";
    appendXmlText(page, value);
    page += '"';
}

void appendNumber(std::string& page, std::int64_t number)
{
    page += "<p><b>" + std::to_string(number) + "</b></p>";
}

void appendRemarks(std::string& page, const std::vector<std::string>& remarks)
{
    for (const std::string& remark : remarks) {
        page += "\n<p>";
        appendXmlText(page, remark);
        page += "</p>";
    }
}

} // namespace

ResultPageWriter::ResultPageWriter(const PageStyle& style, std::string_view title,
                                   size_t expectedRows)
{
    m_page.reserve(1024 + expectedRows * 400);
    openPage(m_page, style, title, "OK");
}

void ResultPageWriter::directory(const std::vector<std::string_view>& subsetNames)
{
    m_page += "\n<dir>";
    for (std::string_view name : subsetNames) {
        m_page += "<li><a>";
        appendXmlText(m_page, name);
        m_page += "</a></li>";
    }
    m_page += "</dir>\n";
}

void ResultPageWriter::table(std::string_view caption, std::string_view captionMode,
                             const std::vector<std::string_view>& headers)
{
    m_page += "<table><caption><a";
    if (!captionMode.empty())
        appendAttribute(m_page, "mode", captionMode);
    m_page += '>';
    appendXmlText(m_page, caption);
    m_page += "</a></caption>\n<tr>";
    for (std::string_view header : headers) {
        m_page += "<th>";
        m_page += header;
        m_page += "</th>";
    }
    m_page += "</tr>\n";
}

void ResultPageWriter::row(const ObjectLink& link)
{
    if (m_rowOpen)
        m_page += "</tr>\n";
    m_rowOpen = true;
    m_page += "<tr><td><a";
    appendAttribute(m_page, "id", link.id);
    appendAttribute(m_page, "access", link.access);
    appendAttribute(m_page, "checkout_by", link.checkoutBy);
    appendAttribute(m_page, "mode", link.mode);
    m_page += '>';
    appendXmlText(m_page, link.name);
    m_page += "</a></td>";
}

void ResultPageWriter::cell(std::string_view text)
{
    m_page += "<td>";
    appendXmlText(m_page, text);
    m_page += "</td>";
}

std::string ResultPageWriter::finish(std::int64_t found, std::int64_t pageSize,
                                     std::int64_t firstNumber,
                                     const std::vector<std::string>& remarks)
{
    if (m_rowOpen)
        m_page += "</tr>\n";
    m_rowOpen = false;
    m_page += "</table>\n";
    appendNumber(m_page, found);
    appendNumber(m_page, pageSize);
    appendNumber(m_page, firstNumber);
    appendRemarks(m_page, remarks);
    m_page += '\n';
    closePage(m_page);
    return std::move(m_page);
}

std::string statusPage(const PageStyle& style, const char* status, const std::string& linkText,
                       const std::string& href, const std::vector<std::string>& remarks)
{
    std::string page;
    openPage(page, style, status, status);
    page += "<a";
    appendAttribute(page, "href", href);
    page += '>';
    appendXmlText(page, linkText);
    page += "</a>";
    appendRemarks(page, remarks);
    closePage(page);
    return page;
}

std::string errorPage(const PageStyle& style, const std::string& message)
{
    std::string page;
    openPage(page, style, style.errorTitle, "ERROR");
    appendXmlText(page, message);
    closePage(page);
    return page;
}

} // namespace Dbscout::Handlers

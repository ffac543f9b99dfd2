#include "document/result_page_stream.h"

#include "document/result_page.h"
#include "document/xml_stream.h"

#include <vector>

namespace Dbscout {

namespace {

// What an element is to the page. Elements that play no part are Other; their text still counts
// for the element around them that is being read.
enum class Role : unsigned char {
    Other,
    Html,
    Head,
    Title,
    Body,
    Dir,
    Subset,     // li
    SubsetLink, // its first a
    Table,
    Caption,
    CaptionLink, // its first a
    HeaderRow,   // the first tr
    HeaderCell,  // th
    DataRow,     // every further tr
    FirstCell,   // the first td of a data row
    ObjectLink,  // its first a
    Cell,        // every further td
    Number,      // p, the first three
    NumberText,  // its first b
};

class ResultPageStream final : public XmlStreamHandler
{
public:
    explicit ResultPageStream(ResultPage& page) : m_page(page) { m_open.reserve(16); }

    // Whether every piece that the page requires was there.
    bool complete() const;

    bool startElement(std::string_view name, const XmlStreamAttributes& attributes) override;
    bool endElement() override;
    void characters(std::string_view text) override;

private:
    struct Open
    {
        Role role;
        bool hasFirst; // the element's first child of the name that matters was seen
    };

    // The role of an element by its name and its parent; false where the element makes the page
    // one the pass cannot take.
    bool classify(std::string_view name, Open& parent, const XmlStreamAttributes& attributes,
                  Role& role);
    bool classifyFrame(std::string_view name, Role parent, const XmlStreamAttributes& attributes,
                       Role& role);
    void classifySubset(std::string_view name, Open& parent, Role& role);
    void classifyTable(std::string_view name, Open& parent, const XmlStreamAttributes& attributes,
                       Role& role);
    bool classifyRow(std::string_view name, Open& parent, const XmlStreamAttributes& attributes,
                     Role& role);
    bool readBody(const XmlStreamAttributes& attributes);
    bool readObjectLink(const XmlStreamAttributes& attributes);
    void collect(std::string& text);

    ResultPage& m_page;
    std::vector<Open> m_open;
    std::string* m_text = nullptr; // the text being read, of the element with m_textDepth parents
    size_t m_textDepth = 0;
    std::string m_number;
    std::string m_access;
    bool m_okPage = false;
    bool m_haveHead = false;
    bool m_haveTitle = false;
    bool m_haveBody = false;
    bool m_haveDir = false;
    bool m_haveTable = false;
    bool m_haveCaption = false;
    size_t m_tableRows = 0;
    size_t m_numbers = 0;
};

bool ResultPageStream::complete() const
{
    if (!m_haveTitle || !m_haveBody)
        return false;
    return !m_okPage ||
           (m_haveDir && m_haveTable && m_haveCaption && m_tableRows > 0 && m_numbers >= 3);
}

void ResultPageStream::collect(std::string& text)
{
    m_text = &text;
    m_textDepth = m_open.size();
}

bool ResultPageStream::readBody(const XmlStreamAttributes& attributes)
{
    if (!attributes.find("id", m_page.status))
        return false;
    m_okPage = m_page.statusIs("OK");
    if (!m_okPage)
        collect(m_page.message); // an error page is its body text
    return true;
}

bool ResultPageStream::readObjectLink(const XmlStreamAttributes& attributes)
{
    ResultRow& row = m_page.rows.back();
    if (!attributes.find("id", row.id))
        return false;
    attributes.find("checkout_by", row.checkoutBy);
    if (attributes.find("access", m_access)) {
        row.readable = m_access.find('r') != std::string::npos;
        row.writable = m_access.find('w') != std::string::npos;
    }
    attributes.find("mode", row.mode);
    collect(row.name);
    return true;
}

// A first child of a name is taken once per parent: flag says whether it already was.
bool takeFirst(bool& flag)
{
    if (flag)
        return false;
    flag = true;
    return true;
}

bool ResultPageStream::classify(std::string_view name, Open& parent,
                                const XmlStreamAttributes& attributes, Role& role)
{
    role = Role::Other;
    switch (parent.role) {
    case Role::Html:
    case Role::Head:
    case Role::Body:
        return classifyFrame(name, parent.role, attributes, role);
    case Role::Dir:
    case Role::Subset:
        classifySubset(name, parent, role);
        return true;
    case Role::Table:
    case Role::Caption:
    case Role::HeaderRow:
        classifyTable(name, parent, attributes, role);
        return true;
    case Role::DataRow:
    case Role::FirstCell:
        return classifyRow(name, parent, attributes, role);
    case Role::Number:
        if (name == "b" && takeFirst(parent.hasFirst)) {
            role = Role::NumberText;
            m_number.clear();
            collect(m_number);
        }
        return true;
    default:
        return true;
    }
}

// The page's frame: head and title, the body, and the body's parts on an OK page.
bool ResultPageStream::classifyFrame(std::string_view name, Role parent,
                                     const XmlStreamAttributes& attributes, Role& role)
{
    if (parent == Role::Html) {
        if (name == "head" && takeFirst(m_haveHead))
            role = Role::Head;
        else if (name == "body" && takeFirst(m_haveBody)) {
            role = Role::Body;
            return readBody(attributes);
        }
    } else if (parent == Role::Head) {
        if (name == "title" && takeFirst(m_haveTitle)) {
            role = Role::Title;
            collect(m_page.title);
        }
    } else if (m_okPage) {
        if (name == "dir" && takeFirst(m_haveDir))
            role = Role::Dir;
        else if (name == "table" && takeFirst(m_haveTable))
            role = Role::Table;
        else if (name == "p" && ++m_numbers <= 3)
            role = Role::Number;
    }
    return true;
}

// The subset directory: one li per subset, its name in the li's first a.
void ResultPageStream::classifySubset(std::string_view name, Open& parent, Role& role)
{
    if (parent.role == Role::Dir && name == "li") {
        role = Role::Subset;
        m_page.subsets.emplace_back();
    } else if (parent.role == Role::Subset && name == "a" && takeFirst(parent.hasFirst)) {
        role = Role::SubsetLink;
        collect(m_page.subsets.back().name);
    }
}

// The table: its caption with the listed subset's link, the header row's titles, the data rows.
void ResultPageStream::classifyTable(std::string_view name, Open& parent,
                                     const XmlStreamAttributes& attributes, Role& role)
{
    if (parent.role == Role::Table) {
        if (name == "caption" && takeFirst(m_haveCaption)) {
            role = Role::Caption;
            collect(m_page.caption.name);
        } else if (name == "tr") {
            role = m_tableRows++ == 0 ? Role::HeaderRow : Role::DataRow;
            if (role == Role::DataRow)
                m_page.rows.emplace_back();
        }
    } else if (parent.role == Role::Caption) {
        if (name == "a" && takeFirst(parent.hasFirst)) {
            role = Role::CaptionLink;
            attributes.find("mode", m_page.caption.mode);
        }
    } else if (name == "th") {
        role = Role::HeaderCell;
        collect(m_page.columns.emplace_back());
    }
}

// A data row: the first cell holds the object's link, every further one a column's text.
bool ResultPageStream::classifyRow(std::string_view name, Open& parent,
                                   const XmlStreamAttributes& attributes, Role& role)
{
    if (parent.role == Role::DataRow) {
        if (name == "td") {
            role = takeFirst(parent.hasFirst) ? Role::FirstCell : Role::Cell;
            if (role == Role::Cell)
                collect(m_page.rows.back().cells.emplace_back());
        }
        return true;
    }
    if (name == "a" && takeFirst(parent.hasFirst)) {
        role = Role::ObjectLink;
        return readObjectLink(attributes);
    }
    return true;
}

bool ResultPageStream::startElement(std::string_view name, const XmlStreamAttributes& attributes)
{
    Role role = Role::Html;
    if (m_open.empty()) {
        if (name != "html")
            return false;
        std::string version;
        m_page.setVersion(attributes.find("version", version) ? &version : nullptr);
    } else if (!classify(name, m_open.back(), attributes, role)) {
        return false;
    }
    m_open.push_back({role, false});
    return true;
}

bool ResultPageStream::endElement()
{
    const Open closed = m_open.back();
    m_open.pop_back();
    if (m_text && m_open.size() == m_textDepth) {
        trimElementText(*m_text);
        m_text = nullptr;
    }
    switch (closed.role) {
    case Role::NumberText: {
        int* const targets[] = {&m_page.totalFound, &m_page.pageSize, &m_page.firstNumber};
        *targets[m_numbers - 1] = parseDecimal(m_number);
        return true;
    }
    case Role::Subset:    // without its link
    case Role::Caption:   // without its link
    case Role::DataRow:   // without a first cell
    case Role::FirstCell: // without the object link
    case Role::Number:    // without its b
        return closed.hasFirst;
    default:
        return true;
    }
}

void ResultPageStream::characters(std::string_view text)
{
    if (m_text)
        m_text->append(text);
}

} // namespace

bool streamResultPage(const char* text, ResultPage& page)
{
    ResultPageStream stream(page);
    return streamXml(text, stream) && stream.complete();
}

} // namespace Dbscout

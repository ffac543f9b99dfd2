#include "document/xml_reader.h"

#include "document/xml_exception.h"
#include "platform/blanks.h"

#include <cstring>
#include <string_view>

namespace Dbscout {

namespace {

std::string_view view(const xmlChar* text)
{
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

// A node's name as the document spells it: "prefix:local", or "local" without a prefix.
bool hasQualifiedName(const xmlChar* local, const xmlNs* ns, std::string_view wanted)
{
    if (ns && ns->prefix) {
        std::string_view prefix = view(ns->prefix);
        return wanted.size() > prefix.size() && wanted.substr(0, prefix.size()) == prefix &&
               wanted[prefix.size()] == ':' && wanted.substr(prefix.size() + 1) == view(local);
    }
    return wanted == view(local);
}

// Selection by a plain name, as an XPath step would: elements in no namespace only.
bool isElementNamed(const xmlNode* node, const char* name)
{
    return node->type == XML_ELEMENT_NODE && !node->ns && view(node->name) == name;
}

} // namespace

void trimElementText(std::string& text)
{
    text = std::string(trimmed(text, " \t\r\n")); // XML's white space
}

CXMLReader::CXMLReader()
{
    m_stack.reserve(16); // pages nest a few levels; no growth while walking
}

bool CXMLReader::LoadXML(const char* text)
{
    m_document.load(text);
    return true;
}

bool CXMLReader::OpenRoot(const char* name)
{
    m_rootName = name;
    m_root = m_document.root();
    if (!m_root || !hasQualifiedName(m_root->name, m_root->ns, name))
        throw CXMLException(std::string("No root element <") + name + "> ");
    return true;
}

xmlNode* CXMLReader::currentNode() const
{
    return m_stack.empty() ? m_root : m_stack.back().node;
}

const char* CXMLReader::currentName() const
{
    return m_stack.empty() ? m_rootName : m_stack.back().name;
}

bool CXMLReader::PushChild(const char* name, bool required)
{
    if (m_root) {
        for (xmlNode* child = currentNode()->children; child; child = child->next) {
            if (isElementNamed(child, name)) {
                m_stack.push_back({name, child, true});
                return true;
            }
        }
    }
    if (required)
        throw CXMLException(std::string("No <") + name + "> element");
    return false;
}

bool CXMLReader::SelectNodes(XMLNodeList& out, const char* name, bool required)
{
    if (m_stack.empty()) {
        if (required)
            throw CXMLException(std::string("No element <") + name + ">");
        return false;
    }
    out.list.clear();
    for (xmlNode* child = m_stack.back().node->children; child; child = child->next) {
        if (isElementNamed(child, name))
            out.list.push_back(child);
    }
    out.selected = true;
    out.name = name;
    return true;
}

long CXMLReader::GetCount(const XMLNodeList& list)
{
    return list.selected ? long(list.list.size()) : 0;
}

bool CXMLReader::PushItem(const XMLNodeList& list, long index, bool required)
{
    if (list.selected && index >= 0 && size_t(index) < list.list.size()) {
        m_stack.push_back({list.name, list.list[size_t(index)], false});
        return true;
    }
    if (required) {
        throw CXMLException(std::string("No element <") + list.name + "> number " +
                            std::to_string(index));
    }
    return false;
}

void CXMLReader::PopElement(const char* /*name*/)
{
    if (!m_stack.empty())
        m_stack.pop_back();
}

bool CXMLReader::GetAttribute(const char* name, std::string& value, bool required)
{
    bool hasAttributes = m_stack.empty() ? m_root != nullptr : m_stack.back().hasAttributes;
    if (hasAttributes) {
        for (xmlAttr* attribute = currentNode()->properties; attribute;
             attribute = attribute->next) {
            if (!hasQualifiedName(attribute->name, attribute->ns, name))
                continue;
            std::string text;
            if (!m_document.appendText(attribute->children, text))
                break;
            value = std::move(text);
            return true;
        }
    }
    if (required) {
        throw CXMLException(std::string("No attribute \"") + name + "\" in element <" +
                            currentName() + ">");
    }
    return false;
}

bool CXMLReader::GetText(std::string& out, bool required)
{
    std::string text;
    if (!m_stack.empty() && m_document.appendText(m_stack.back().node->children, text)) {
        trimElementText(text);
        out = std::move(text);
        return true;
    }
    if (required)
        throw CXMLException(std::string("Error reading data in element <") + currentName() + ">");
    return false;
}

} // namespace Dbscout

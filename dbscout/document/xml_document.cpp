#include "document/xml_document.h"

#include "document/xml_exception.h"
#include "document/xml_parse_setup.h"

#include <libxml/xmlerror.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace Dbscout {

namespace {

// Entity lookups the parser may make beyond one per input byte, and text bytes plus nodes the
// readers may produce beyond four per input byte. Real pages stay far below both; a nested
// entity bomb reaches them within milliseconds.
constexpr size_t kLookupAllowance = 100000;
constexpr size_t kExpansionAllowance = size_t(1) << 20;
constexpr size_t kExpansionFactor = 4;

// What one parse collects through the context's callbacks.
struct ParseState
{
    XmlTextInput input;
    size_t lookupsLeft = 0;
    bool bombStopped = false;
    bool haveError = false;
    int code = 0;
    long line = 0;
    long column = 0;
    std::string reason;
    getEntitySAXFunc getEntity = nullptr;
    getParameterEntitySAXFunc getParameterEntity = nullptr;
};

ParseState& stateOf(void* context)
{
    return *static_cast<ParseState*>(static_cast<xmlParserCtxt*>(context)->_private);
}

void recordError(ParseState& state, int code, long line, long column, std::string reason)
{
    if (state.haveError)
        return;
    state.haveError = true;
    state.code = code;
    state.line = line;
    state.column = column;
    state.reason = std::move(reason);
}

// Keeps the first error that makes the text unacceptable: fatal ones, and namespace errors,
// since elements under an undeclared prefix could never be matched by name.
void onError(void* context, xmlError* error)
{
    if (error->level != XML_ERR_FATAL && error->domain != XML_FROM_NAMESPACE)
        return;
    std::string reason = error->message ? error->message : "";
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
        reason.pop_back();
    recordError(stateOf(context), error->code, error->line, error->int2, std::move(reason));
}

// Counts entity lookups; once the allowance is spent the parse stops with an entity error.
bool spendLookup(void* context)
{
    ParseState& state = stateOf(context);
    if (state.lookupsLeft > 0) {
        --state.lookupsLeft;
        return true;
    }
    auto* parser = static_cast<xmlParserCtxt*>(context);
    if (!state.bombStopped) {
        state.bombStopped = true;
        long line = parser->input ? parser->input->line : 0;
        long column = parser->input ? parser->input->col : 0;
        recordError(state, XML_ERR_ENTITY_LOOP, line, column, "Entity expansion limit exceeded");
        xmlStopParser(parser);
    }
    return false;
}

xmlEntity* getEntity(void* context, const xmlChar* name)
{
    return spendLookup(context) ? stateOf(context).getEntity(context, name) : nullptr;
}

xmlEntity* getParameterEntity(void* context, const xmlChar* name)
{
    return spendLookup(context) ? stateOf(context).getParameterEntity(context, name) : nullptr;
}

[[noreturn]] void throwParseError(const ParseState& state)
{
    char head[96];
    std::snprintf(head, sizeof head, "0x%x Line : %ld Char : %ld ", unsigned(state.code),
                  state.line, state.column);
    throw CXMLException(head + state.reason);
}

} // namespace

XmlDocument::XmlDocument() : m_context(newAnswerParserContext()) {}

XmlDocument::~XmlDocument()
{
    xmlFreeDoc(m_doc);
    xmlFreeParserCtxt(m_context);
}

void XmlDocument::load(const char* text)
{
    if (!text || !*text || m_doc)
        throw CXMLException("Error parsing XML");
    ParseState state;
    state.input = {text, std::strlen(text)};
    state.lookupsLeft = kLookupAllowance + state.input.left;
    state.getEntity = m_context->sax->getEntity;
    state.getParameterEntity = m_context->sax->getParameterEntity;
    m_context->_private = &state;
    m_context->sax->serror = onError;
    m_context->sax->getEntity = getEntity;
    m_context->sax->getParameterEntity = getParameterEntity;
    m_budget = kExpansionAllowance + kExpansionFactor * state.input.left;

    xmlDoc* doc = xmlCtxtReadIO(m_context, XmlTextInput::read, nullptr, &state.input, nullptr,
                                nullptr, kAnswerParseOptions);
    m_context->_private = nullptr;
    bool accepted = doc && m_context->wellFormed && m_context->nsWellFormed && !state.bombStopped &&
                    xmlDocGetRootElement(doc);
    if (accepted) {
        m_doc = doc;
        return;
    }
    xmlFreeDoc(doc);
    if (!state.haveError)
        throw CXMLException("Error parsing XML");
    throwParseError(state);
}

xmlNode* XmlDocument::root() const
{
    return m_doc ? xmlDocGetRootElement(m_doc) : nullptr;
}

bool XmlDocument::appendText(const xmlNode* first, std::string& out)
{
    // Walks without recursion: entity content can nest as deep as the parser allowed.
    std::vector<const xmlNode*> resume;
    const xmlNode* node = first;
    for (;;) {
        if (!node) {
            if (resume.empty())
                return true;
            node = resume.back();
            resume.pop_back();
            continue;
        }
        if (m_budget == 0)
            return false;
        --m_budget;
        const xmlNode* below = nullptr;
        switch (node->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (node->content) {
                size_t length = std::strlen(reinterpret_cast<const char*>(node->content));
                if (length > m_budget)
                    return false;
                m_budget -= length;
                out.append(reinterpret_cast<const char*>(node->content), length);
            }
            break;
        case XML_ELEMENT_NODE:
            below = node->children;
            break;
        case XML_ENTITY_REF_NODE:
            if (xmlEntity* entity = xmlGetDocEntity(node->doc, node->name))
                below = entity->children;
            break;
        default:
            break;
        }
        if (below) {
            resume.push_back(node->next);
            node = below;
        } else {
            node = node->next;
        }
    }
}

} // namespace Dbscout

#include "document/xml_stream.h"

#include "document/xml_parse_setup.h"

#include <cstring>
#include <exception>

namespace Dbscout {

namespace {

struct StreamState
{
    XmlTextInput input;
    XmlStreamHandler* handler = nullptr;
    bool refused = false;
    std::exception_ptr failure; // thrown by the handler; must not unwind through the parser
};

std::string_view view(const xmlChar* text)
{
    return std::string_view(reinterpret_cast<const char*>(text));
}

xmlParserCtxt* parserOf(void* context)
{
    return static_cast<xmlParserCtxt*>(context);
}

StreamState& stateOf(void* context)
{
    return *static_cast<StreamState*>(parserOf(context)->_private);
}

// Ends the pass: the text needs the tree reading.
void refuse(void* context)
{
    stateOf(context).refused = true;
    xmlStopParser(parserOf(context));
}

// Runs one handler call; its refusal or exception ends the pass.
template <typename Call> void deliver(void* context, Call call)
{
    try {
        if (call(*stateOf(context).handler))
            return;
    } catch (...) {
        stateOf(context).failure = std::current_exception();
    }
    refuse(context);
}

void onStartElement(void* context, const xmlChar* name, const xmlChar* /*prefix*/,
                    const xmlChar* uri, int namespaceCount, const xmlChar** /*namespaces*/,
                    int attributeCount, int defaultedCount, const xmlChar** attributes)
{
    if (uri || namespaceCount > 0 || defaultedCount > 0) {
        refuse(context);
        return;
    }
    deliver(context, [&](XmlStreamHandler& handler) {
        return handler.startElement(view(name), XmlStreamAttributes(attributes, attributeCount));
    });
}

void onEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*)
{
    deliver(context, [](XmlStreamHandler& handler) { return handler.endElement(); });
}

void onCharacters(void* context, const xmlChar* text, int length)
{
    deliver(context, [&](XmlStreamHandler& handler) {
        handler.characters(std::string_view(reinterpret_cast<const char*>(text), size_t(length)));
        return true;
    });
}

// Errors and warnings alike: the tree reading decides what is acceptable and how to say it.
// The parser is left to end by itself, as it does at once after a fatal error.
void onError(void* context, xmlError*)
{
    stateOf(context).refused = true;
}

void onDocumentType(void* context, const xmlChar*, const xmlChar*, const xmlChar*)
{
    refuse(context);
}

void onReference(void* context, const xmlChar*)
{
    refuse(context);
}

xmlEntity* onGetEntity(void* context, const xmlChar*)
{
    refuse(context);
    return nullptr;
}

} // namespace

bool XmlStreamAttributes::find(std::string_view name, std::string& value) const
{
    for (int i = 0; i < m_count; ++i) {
        const xmlChar* const* attribute = m_data + 5 * i; // name, prefix, URI, value, value end
        if (attribute[1] || view(attribute[0]) != name)
            continue;
        const char* at = reinterpret_cast<const char*>(attribute[3]);
        const char* end = reinterpret_cast<const char*>(attribute[4]);
        value.assign(at, end);
        // A value the parser had to rewrite ends in a NUL rather than a quote; in it an ampersand
        // (written as &amp; or &#38;) is kept as "&#38;", which the tree turns back into "&".
        // Other references would need a document type declaration, which the pass refuses.
        if (*end == '\0' && value.find('&') != std::string::npos) {
            size_t out = 0;
            for (size_t in = 0; in < value.size(); ++out) {
                value[out] = value[in];
                in += value.compare(in, 5, "&#38;") == 0 ? 5 : 1;
            }
            value.resize(out);
        }
        return true;
    }
    return false;
}

bool streamXml(const char* text, XmlStreamHandler& handler)
{
    if (!text || !*text)
        return false;
    xmlParserCtxt* context = newAnswerParserContext();
    xmlSAXHandler& sax = *context->sax;
    sax = xmlSAXHandler{};
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = onStartElement;
    sax.endElementNs = onEndElement;
    sax.characters = onCharacters;
    sax.ignorableWhitespace = onCharacters; // the same callback: every blank is kept as text
    sax.cdataBlock = onCharacters;
    sax.serror = onError;
    sax.internalSubset = onDocumentType;
    sax.reference = onReference;
    sax.getEntity = onGetEntity;
    sax.getParameterEntity = onGetEntity;

    StreamState state;
    state.input = {text, std::strlen(text)};
    state.handler = &handler;
    context->_private = &state;
    // No callback builds a tree, so the read gives no document.
    xmlFreeDoc(xmlCtxtReadIO(context, XmlTextInput::read, nullptr, &state.input, nullptr, nullptr,
                             kAnswerParseOptions));
    bool accepted = !state.refused && context->wellFormed && context->nsWellFormed;
    xmlFreeParserCtxt(context);
    if (state.failure)
        std::rethrow_exception(state.failure);
    return accepted;
}

} // namespace Dbscout

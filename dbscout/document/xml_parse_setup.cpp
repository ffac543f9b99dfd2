#include "document/xml_parse_setup.h"

#include "document/xml_exception.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace Dbscout {

xmlParserCtxt* newAnswerParserContext()
{
    static std::once_flag initialised;
    std::call_once(initialised, xmlInitParser);
    xmlParserCtxt* context = xmlNewParserCtxt();
    if (!context || !context->sax) {
        xmlFreeParserCtxt(context);
        throw CXMLException("Error initialisation MSXML");
    }
    return context;
}

int XmlTextInput::read(void* input, char* buffer, int length)
{
    auto& text = *static_cast<XmlTextInput*>(input);
    size_t count = std::min(text.left, size_t(length));
    std::memcpy(buffer, text.next, count);
    text.next += count;
    text.left -= count;
    return int(count);
}

} // namespace Dbscout

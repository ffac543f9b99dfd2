#include "document/status_page.h"

#include "document/xml_reader.h"

namespace Dbscout {

void StatusPage::parseText(const char* text)
{
    CXMLReader reader;
    openBody(reader, text);
    if (statusIs("ERROR")) {
        messageTitle = title;
        reader.GetText(message, true);
    } else {
        reader.PushChild("a", true);
        reader.GetAttribute("href", linkHref, false);
        reader.GetText(linkText, true);
        reader.PopElement("a");
    }
    reader.PopElement("body");
}

} // namespace Dbscout

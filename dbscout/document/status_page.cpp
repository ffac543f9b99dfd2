#include "document/status_page.h"

#include "document/xml_reader.h"

namespace Dbscout {

void StatusPage::ParseText(const char* text)
{
    CXMLReader reader;
    OpenBody(reader, text);
    if (StatusIs("ERROR")) {
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

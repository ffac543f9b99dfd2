#include "import/record_parsers.h"

#include "import/text_lines.h"
#include "import/xml_scanner.h"

namespace Dbscout::Molb {

Status parseBlastXml(std::string_view document, const std::string& name, NewObject& object)
{
    object.kind = Kind::Blast;
    object.meta[Field::Name] = name;
    long long hits = 0;
    std::string version;
    const XmlElementEnd onEnd = [&](std::string_view element, const std::string& text,
                                    size_t depth) {
        if (element == "Hit") {
            ++hits;
            return;
        }
        if (depth != 1)
            return;
        const std::string value(trim(text));
        if (element == "BlastOutput_program")
            object.meta[Field::Program] = value;
        else if (element == "BlastOutput_db")
            object.meta[Field::Database] = value;
        else if (element == "BlastOutput_query-ID")
            object.meta[Field::Accession] = value;
        else if (element == "BlastOutput_query-def")
            object.meta[Field::Description] = value;
        else if (element == "BlastOutput_version")
            version = value;
    };
    std::string root;
    Status status = scanXml(document, onEnd, root);
    if (!status.ok())
        return status;
    if (root != "BlastOutput")
        return Status::fail(ErrorCode::BadRequest,
                            "the XML is no BLAST output (its root element is <" + root + ">)");
    if (object.meta[Field::Program].empty())
        return Status::fail(ErrorCode::BadRequest, "the BLAST output names no program");
    // "BLASTN 2.2.12 [Aug-07-2005]": the date of the program's release in brackets.
    const size_t open = version.find('[');
    const size_t close = version.find(']', open);
    if (open != std::string::npos && close != std::string::npos)
        object.meta[Field::RunDate] = version.substr(open + 1, close - open - 1);
    object.meta[Field::Hits] = std::to_string(hits);
    object.metaKnown = true;
    return Status::pass();
}

} // namespace Dbscout::Molb

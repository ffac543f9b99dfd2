#include "import/record_parsers.h"

#include "import/text_lines.h"
#include "xml_scanner.h"

namespace Dbscout::Molb {

Status parseBlastXml(std::string_view document, const std::string& name, NewObject& object)
{
    object.kind = Kind::Blast;
    object.meta[Field::Name] = name;
    long long hits = 0;
    std::string version;
    // The first output format keeps the run's facts in children of the root, the second
    // (BlastXML2) deeper down under shorter names; the first occurrence of each counts.
    const auto take = [](std::string& field, const std::string& text) {
        if (field.empty())
            field = trim(text);
    };
    const XmlElementEnd onEnd = [&](std::string_view element, const std::string& text,
                                    size_t depth) {
        if (element == "Hit")
            ++hits;
        else if (element == "BlastOutput_program" || element == "program")
            take(object.meta[Field::Program], text);
        else if (element == "BlastOutput_db" || element == "db")
            take(object.meta[Field::Database], text);
        else if (element == "BlastOutput_query-ID" || element == "query-id")
            take(object.meta[Field::Accession], text);
        else if (element == "BlastOutput_query-def" || element == "query-title")
            take(object.meta[Field::Description], text);
        else if ((element == "BlastOutput_version" || element == "version") && depth > 0)
            take(version, text);
    };
    std::string root;
    Status status = scanXml(document, onEnd, root);
    if (!status.ok())
        return status;
    if (root != "BlastOutput" && root != "BlastXML2")
        return Status::fail(ErrorCode::BadRequest,
                            "the XML is no BLAST output (its root element is <" + root + ">)");
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

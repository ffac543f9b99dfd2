#include "listed_record.h"

namespace Dbscout::Ncbi {
namespace {

// "2003/03/05" as the listing shows dates: 2003-03-05.
std::string displayDate(std::string date)
{
    for (char& c : date) {
        if (c == '/')
            c = '-';
    }
    return date;
}

std::string year(const std::string& pubDate)
{
    const bool digits = pubDate.size() >= 4 &&
                        pubDate.substr(0, 4).find_first_not_of("0123456789") == std::string::npos;
    return digits ? pubDate.substr(0, 4) : std::string();
}

std::string firstItem(const DocSum& summary, std::initializer_list<std::string_view> names)
{
    for (std::string_view name : names) {
        if (const std::string& value = summary.item(name); !value.empty())
            return value;
    }
    return {};
}

} // namespace

ListedRecord listedRecord(const DatabaseInfo& database, const DocSum& summary)
{
    ListedRecord record;
    if (database.database == Database::Pubmed) {
        record.id = summary.uid;
        record.name = summary.item("Author");
        if (record.name.empty())
            record.name = "[No authors listed]";
        record.cells = {summary.item("Title"), summary.item("Source"),
                        year(summary.item("PubDate")), summary.uid};
        return record;
    }
    record.id = firstItem(summary, {"AccessionVersion", "Caption"});
    if (record.id.empty())
        record.id = summary.uid;
    record.name = record.id;
    record.cells = {summary.item("Title"), firstItem(summary, {"Slen", "Length"}),
                    summary.item("Organism"), displayDate(summary.item("UpdateDate"))};
    return record;
}

ListedRecord listedRecord(const FlatRecord& flat)
{
    return ListedRecord{flat.accessionVersion,
                        flat.accessionVersion,
                        {flat.definition, flat.length, flat.organism, flat.date}};
}

ListedRecord unsummarisedRecord(const std::string& uid)
{
    return ListedRecord{uid, uid, {"(NCBI sent no summary of this record)", "", "", ""}};
}

ListedRecord unknownRecord(const DatabaseInfo& database, const std::string& id)
{
    return ListedRecord{
        id,
        id,
        {"Not found: " + std::string(database.sourceName) + " has no record of this name", "", "",
         ""},
        false};
}

} // namespace Dbscout::Ncbi

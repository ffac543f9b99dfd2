#include "listed_record.h"

namespace Dbscout::Ncbi {
namespace {

bool isLower(char c)
{
    return c >= 'a' && c <= 'z';
}

bool isUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

// "gi|28864546|gb|AY207443.1|" names the accession.version in its fourth field.
std::string accessionVersion(const DocSum& summary)
{
    const std::string& extra = summary.item("Extra");
    size_t start = 0;
    for (int field = 0; field < 3 && start != std::string::npos; ++field) {
        start = extra.find('|', start);
        start = start == std::string::npos ? start : start + 1;
    }
    if (start != std::string::npos) {
        const std::string candidate = extra.substr(start, extra.find('|', start) - start);
        if (candidate.find('.') != std::string::npos)
            return candidate;
    }
    const std::string& caption = summary.item("Caption");
    return caption.empty() ? summary.uid : caption;
}

// Protein titles end in "[Organism]"; nucleotide titles start with "Genus species". A title of
// neither shape gives the taxon as Entrez writes it (txid9606), which a query can use as it is.
std::string organism(Database database, const DocSum& summary)
{
    const std::string& title = summary.item("Title");
    if (database == Database::Protein && !title.empty() && title.back() == ']') {
        const size_t open = title.rfind('[');
        if (open != std::string::npos)
            return title.substr(open + 1, title.size() - open - 2);
    } else if (database == Database::Nucleotide && title.size() > 3 && isUpper(title[0])) {
        const size_t genusEnd = title.find(' ');
        const size_t speciesEnd = title.find(' ', genusEnd + 1);
        bool binomial = genusEnd != std::string::npos && genusEnd > 1;
        for (size_t i = 1; binomial && i < genusEnd; ++i)
            binomial = isLower(title[i]);
        const size_t speciesLast = speciesEnd == std::string::npos ? title.size() : speciesEnd;
        binomial = binomial && speciesLast > genusEnd + 1;
        for (size_t i = genusEnd + 1; binomial && i < speciesLast; ++i)
            binomial = isLower(title[i]);
        if (binomial)
            return title.substr(0, speciesLast);
    }
    const std::string& taxon = summary.item("TaxId");
    return taxon.empty() || taxon == "0" ? std::string() : "txid" + taxon;
}

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
    record.id = accessionVersion(summary);
    record.name = record.id;
    record.cells = {summary.item("Title"), summary.item("Length"),
                    organism(database.database, summary), displayDate(summary.item("UpdateDate"))};
    return record;
}

ListedRecord unsummarisedRecord(const std::string& uid)
{
    return ListedRecord{uid, uid, {"(NCBI sent no summary of this record)", "", "", ""}};
}

} // namespace Dbscout::Ncbi

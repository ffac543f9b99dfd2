#include "batch_answer.h"

#include "record.h"
#include "records/records.h"

#include <algorithm>
#include <optional>

namespace Records = Dbscout::Records;

namespace {

std::string plain(const std::string& id)
{
    return QByteArray::fromPercentEncoding(QByteArray::fromStdString(id)).toUpper().toStdString();
}

bool isNumber(const std::string& id)
{
    return !id.empty() &&
           std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string upper(const std::string& text)
{
    return QByteArray::fromStdString(text).toUpper().toStdString();
}

bool answers(const Records::ReadEntry& entry, const std::string& id)
{
    if (!entry.outcome.ok())
        return false;
    const Records::Record& record = entry.record;
    if (record.kind == Records::RecordKind::Citation)
        return record.citation.pmid == id;
    return (!record.version.empty() && upper(record.version) == id) ||
           (!record.accession().empty() && upper(record.accession()) == id);
}

bool isSequence(const Records::ReadEntry& entry)
{
    return entry.outcome.ok() && (entry.record.kind == Records::RecordKind::Nucleotide ||
                                  entry.record.kind == Records::RecordKind::Protein);
}

// A record's own text: from its first line to its last, ending with one line end, as a handler
// answers a record asked alone.
QByteArray recordBytes(const QByteArray& answer, const Records::RecordPlace& place)
{
    QByteArray bytes = answer.mid(qsizetype(place.offset), qsizetype(place.size));
    while (bytes.endsWith("\n\n"))
        bytes.chop(1);
    if (!bytes.endsWith('\n'))
        bytes += '\n';
    return bytes;
}

} // namespace

std::string PickedIds::urlFor(const std::vector<size_t>& indexes) const
{
    std::string url = before;
    for (size_t i = 0; i < indexes.size(); ++i) {
        if (i > 0)
            url += ',';
        url += ids[indexes[i]];
    }
    return url + after;
}

PickedIds splitPickedIds(const std::string& url)
{
    PickedIds pick;
    const size_t query = std::min(url.find('?'), url.size());
    const size_t slash = url.rfind('/', query);
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    pick.before = url.substr(0, start);
    pick.after = url.substr(query);
    const std::string names = url.substr(start, query - start);
    for (size_t begin = 0; begin <= names.size();) {
        const size_t comma = std::min(names.find(',', begin), names.size());
        if (comma > begin)
            pick.ids.push_back(names.substr(begin, comma - begin));
        begin = comma + 1;
    }
    return pick;
}

QString shownId(const std::string& id)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(QByteArray::fromStdString(id)));
}

MatchedRecords matchRecords(const std::vector<std::string>& askedIds, const QByteArray& answer)
{
    MatchedRecords matched;
    matched.records.resize(askedIds.size());
    Records::RecordText read;
    if (!Records::readRecords(std::string_view(answer.constData(), size_t(answer.size())), read)
             .ok())
        return matched;
    std::vector<const Records::ReadEntry*> entries;
    for (const Records::ReadEntry& entry : read.entries) {
        if (entry.outcome.ok())
            entries.push_back(&entry);
        else if (matched.unreadable.isEmpty())
            matched.unreadable = QStringLiteral("line %1: %2")
                                     .arg(entry.place.line)
                                     .arg(shown(entry.outcome.text()));
    }
    std::vector<std::string> ids;
    for (const std::string& id : askedIds)
        ids.push_back(plain(id));
    // The first id from `from` on that entry answers by name.
    const auto answeredId = [&](const Records::ReadEntry& entry, size_t from) {
        for (size_t k = from; k < ids.size(); ++k)
            if (answers(entry, ids[k]))
                return std::optional<size_t>(k);
        return std::optional<size_t>();
    };
    size_t next = 0; // the next record of the answer
    for (size_t i = 0; i < ids.size() && next < entries.size();) {
        const Records::ReadEntry& entry = *entries[next];
        if (answers(entry, ids[i])) {
            matched.records[i++] = recordBytes(answer, entry.place);
            ++next;
            continue;
        }
        if (!isNumber(ids[i]) || !isSequence(entry)) {
            ++i; // left out
            continue;
        }
        // GI numbers in a row, up to the next id a record answers by name: the records up to
        // that one stand for them in order, when none is missing.
        size_t run = i;
        while (run < ids.size() && isNumber(ids[run]))
            ++run;
        size_t records = next;
        while (records < entries.size() && isSequence(*entries[records]) &&
               !answeredId(*entries[records], run))
            ++records;
        if (records - next >= run - i) {
            for (size_t k = i; k < run; ++k)
                matched.records[k] = recordBytes(answer, entries[next++]->place);
        } else if (records > next) {
            for (size_t k = i; k < run; ++k)
                matched.untold.push_back(k);
            next = records;
        } // else no record stands for any of them: all left out
        i = run;
    }
    return matched;
}

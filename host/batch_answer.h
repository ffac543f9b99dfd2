#pragma once
// A multi-selection as the panel hands it over (its name box's comma list in the object URL),
// and the records of one answer to several of its ids, matched to the ids they answer. A handler
// that fetches several records in one run (ncbi) writes them in the order asked and leaves out
// those it has no record of; the records say themselves which ids they answer.

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

// The object URL of a pick split around the name's comma list: url is before, the ids joined
// with ',', then after. Ids stay escaped as the panel escaped them (U18266%2e1).
struct PickedIds
{
    std::string before;
    std::vector<std::string> ids;
    std::string after;

    // The URL that asks for the ids at the given indexes, in that order.
    std::string urlFor(const std::vector<size_t>& indexes) const;
};

PickedIds splitPickedIds(const std::string& url);

// An id as people write it: the panel's escapes undone.
QString shownId(const std::string& id);

struct MatchedRecords
{
    // Per id asked, in order: its record's bytes, or empty when no record of the answer is its.
    std::vector<QByteArray> records;
    // Ids that are GI numbers where the answer holds fewer records than such ids in a row:
    // GenBank records carry no GI, so which one was left out cannot be told. Each is to be asked
    // on its own.
    std::vector<size_t> untold;
    // A record of the answer that could not be read, with the reason; empty when every one was.
    QString unreadable;
};

// Matches the records of answer to ids (as the panel escaped them): a GenBank or GenPept record
// answers its accession.version or its accession, a MEDLINE record its PMID, letter case aside;
// a GI number is answered by the sequence record in its place in the order.
MatchedRecords matchRecords(const std::vector<std::string>& ids, const QByteArray& answer);

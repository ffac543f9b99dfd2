#pragma once
// What the demo makes of an object's bytes: a sequence with its features, a citation or a BLAST
// report, read by the record readers. The handler hands back the bytes exactly as they were
// stored, so the kind is told from the text itself.

#include "records/record.h"

#include <QByteArray>
#include <QString>

struct ObjectRecord
{
    enum class Kind { Text, Sequence, Citation, Blast };
    Kind kind = Kind::Text;
    Dbscout::Records::Record record; // Sequence, Citation, Blast: the first record of the bytes
    int recordCount = 0;             // how many records the bytes hold
    QString text;                    // Text: the bytes as text
    QString problem; // Text: why bytes of a known format cannot be read, with the line
};

// Reads the first record of the bytes. Bytes of no known format come back as Kind::Text, and so
// do bytes of a known format that its reader refuses, with the reader's reason as the problem:
// nothing is guessed.
ObjectRecord readObjectRecord(const QByteArray& bytes);

// The record's own name: a sequence's name, "PMID:" and a citation's PMID, a BLAST report's
// program and query; empty for text.
QString recordName(const ObjectRecord& record);

// The object kind code of the embedding interface for a record (1 DNA/RNA, 2 protein,
// 14 citation, 15 BLAST result) or 0 when it has none.
int dataTypeOf(const ObjectRecord& record);

// Text of the records as Qt shows it.
QString shown(const std::string& text);

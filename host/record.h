#pragma once
// What the demo makes of an object's bytes: a sequence with its features, a citation or a BLAST
// report. The handler hands back the bytes exactly as they were stored, so the kind is told
// from the text itself.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

struct Feature
{
    QString key;
    QString location;
    QList<QPair<QString, QString>> qualifiers; // name, value; a note without a name has ""
};

struct SequenceRecord
{
    QString format; // "GenBank", "EMBL", "UniProt" or "FASTA"
    QString name;
    QString accession;
    QString description;
    QString organism;
    QString molecule; // "DNA", "RNA", "protein", ...
    QString topology;
    QList<Feature> features;
    QString residues; // upper case, no blanks or digits
};

struct Citation
{
    QString pmid;
    QStringList authors;
    QString title;
    QString journal;
    QString year;
    QString volume;
    QString issue;
    QString pages;
    QString abstract;
};

struct BlastHit
{
    QString id;
    QString accession;
    QString definition;
    int length = 0;
    double bitScore = 0;
    QString evalue;
    int identities = 0;
    int alignLength = 0;
};

struct BlastReport
{
    QString program;
    QString version;
    QString database;
    QString query;
    int queryLength = 0;
    QList<BlastHit> hits;
};

struct ObjectRecord
{
    enum class Kind { Text, Sequence, Citation, Blast };
    Kind kind = Kind::Text;
    SequenceRecord sequence;
    Citation citation;
    BlastReport blast;
    QString text; // Kind::Text: the bytes as text
};

// Reads one record of any supported format; what is not recognised comes back as Kind::Text.
ObjectRecord readObjectRecord(const QByteArray& bytes);

// The parsers behind readObjectRecord; each returns false when the text is not of its format.
bool readGenBank(const QString& text, SequenceRecord& record);
bool readEmbl(const QString& text, SequenceRecord& record); // EMBL and UniProt text
bool readFasta(const QString& text, SequenceRecord& record);
bool readMedline(const QString& text, Citation& citation);
bool readBlastXml(const QByteArray& bytes, BlastReport& report);

// The record's own name: a sequence's name, "PMID:" and a citation's PMID, a BLAST report's
// program and query; empty for text.
QString recordName(const ObjectRecord& record);

// The object kind code of the embedding interface for a record (1 DNA/RNA, 2 protein,
// 14 citation, 15 BLAST result) or 0 when it has none.
int dataTypeOf(const ObjectRecord& record);

// MEDLINE citations and BLAST XML reports, and the choice among all formats.

#include "record.h"

#include <QHash>
#include <QXmlStreamReader>

namespace {

// MEDLINE: "TAG - value" lines (the tag padded to four characters), continued on lines that
// start with six blanks.
QList<QPair<QString, QString>> medlineFields(const QString& text)
{
    QList<QPair<QString, QString>> fields;
    for (QString line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.startsWith(QLatin1String("      ")) && !fields.isEmpty())
            fields.last().second += ' ' + line.trimmed();
        else if (line.size() >= 6 && line.at(4) == '-')
            fields.append({line.left(4).trimmed(), line.mid(6).trimmed()});
    }
    return fields;
}

} // namespace

bool readMedline(const QString& text, Citation& citation)
{
    // Exports from PubMed start with a blank line.
    if (!text.trimmed().startsWith(QLatin1String("PMID-")))
        return false;
    citation = {};
    QString sourceJournal;
    for (const auto& [tag, value] : medlineFields(text)) {
        if (tag == QLatin1String("PMID") && citation.pmid.isEmpty())
            citation.pmid = value;
        else if (tag == QLatin1String("AU"))
            citation.authors << value;
        else if (tag == QLatin1String("TI"))
            citation.title = value;
        else if (tag == QLatin1String("TA"))
            citation.journal = value;
        else if (tag == QLatin1String("JT"))
            sourceJournal = value;
        else if (tag == QLatin1String("DP"))
            citation.year = value.left(4);
        else if (tag == QLatin1String("VI"))
            citation.volume = value;
        else if (tag == QLatin1String("IP"))
            citation.issue = value;
        else if (tag == QLatin1String("PG"))
            citation.pages = value;
        else if (tag == QLatin1String("AB"))
            citation.abstract = value;
    }
    if (citation.journal.isEmpty())
        citation.journal = sourceJournal;
    return true;
}

bool readBlastXml(const QByteArray& bytes, BlastReport& report)
{
    report = {};
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("BlastOutput"))
        return false;
    BlastHit hit;
    bool inHit = false;
    bool hspSeen = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("Hit") && inHit) {
            report.hits.append(hit);
            inHit = false;
            continue;
        }
        if (!xml.isStartElement())
            continue;
        const QString name = xml.name().toString();
        if (name == QLatin1String("Hit")) {
            hit = {};
            inHit = true;
            hspSeen = false;
            continue;
        }
        if (name == QLatin1String("Hsp")) {
            // A hit's first HSP is its best; the table shows that one.
            if (hspSeen)
                xml.skipCurrentElement();
            hspSeen = true;
            continue;
        }
        if (name == QLatin1String("Iteration") || name == QLatin1String("Iteration_hits") ||
            name == QLatin1String("Hit_hsps") || name == QLatin1String("BlastOutput_iterations"))
            continue;
        if (name == QLatin1String("BlastOutput_param") || name == QLatin1String("Iteration_stat")) {
            xml.skipCurrentElement();
            continue;
        }
        const QString value = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        if (name == QLatin1String("BlastOutput_program"))
            report.program = value;
        else if (name == QLatin1String("BlastOutput_version"))
            report.version = value;
        else if (name == QLatin1String("BlastOutput_db"))
            report.database = value;
        else if (name == QLatin1String("BlastOutput_query-def"))
            report.query = value;
        else if (name == QLatin1String("BlastOutput_query-len"))
            report.queryLength = value.toInt();
        else if (!inHit)
            continue;
        else if (name == QLatin1String("Hit_id"))
            hit.id = value;
        else if (name == QLatin1String("Hit_def"))
            hit.definition = value;
        else if (name == QLatin1String("Hit_accession"))
            hit.accession = value;
        else if (name == QLatin1String("Hit_len"))
            hit.length = value.toInt();
        else if (name == QLatin1String("Hsp_bit-score"))
            hit.bitScore = value.toDouble();
        else if (name == QLatin1String("Hsp_evalue"))
            hit.evalue = value;
        else if (name == QLatin1String("Hsp_identity"))
            hit.identities = value.toInt();
        else if (name == QLatin1String("Hsp_align-len"))
            hit.alignLength = value.toInt();
    }
    return !xml.hasError() || xml.error() == QXmlStreamReader::PrematureEndOfDocumentError;
}

ObjectRecord readObjectRecord(const QByteArray& bytes)
{
    ObjectRecord record;
    const QString text = QString::fromUtf8(bytes);
    if (readGenBank(text, record.sequence) || readEmbl(text, record.sequence) ||
        readFasta(text, record.sequence))
        record.kind = ObjectRecord::Kind::Sequence;
    else if (readMedline(text, record.citation))
        record.kind = ObjectRecord::Kind::Citation;
    else if (text.startsWith(QLatin1String("<?xml")) && readBlastXml(bytes, record.blast))
        record.kind = ObjectRecord::Kind::Blast;
    else
        record.text = text;
    return record;
}

QString recordName(const ObjectRecord& record)
{
    switch (record.kind) {
    case ObjectRecord::Kind::Sequence:
        return record.sequence.name;
    case ObjectRecord::Kind::Citation:
        return record.citation.pmid.isEmpty() ? QString() : "PMID:" + record.citation.pmid;
    case ObjectRecord::Kind::Blast:
        return (record.blast.program + ' ' + record.blast.query.section(' ', 0, 0)).trimmed();
    case ObjectRecord::Kind::Text:
        break;
    }
    return {};
}

int dataTypeOf(const ObjectRecord& record)
{
    switch (record.kind) {
    case ObjectRecord::Kind::Sequence:
        return record.sequence.molecule == QLatin1String("protein") ? 2 : 1;
    case ObjectRecord::Kind::Citation:
        return 14;
    case ObjectRecord::Kind::Blast:
        return 15;
    case ObjectRecord::Kind::Text:
        break;
    }
    return 0;
}

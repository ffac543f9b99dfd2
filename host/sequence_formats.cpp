// GenBank, EMBL/UniProt and FASTA records as SequenceRecord.

#include "feature_table.h"
#include "record.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

QString residuesOf(const QString& text)
{
    QString residues;
    residues.reserve(text.size());
    for (const QChar c : text) {
        if (c.isLetter() || c == '*' || c == '-')
            residues += c.toUpper();
    }
    return residues;
}

// Joins a field that continues over several lines, as GenBank and EMBL both write them.
void appendField(QString& field, const QString& text)
{
    if (!field.isEmpty())
        field += ' ';
    field += text.trimmed();
}

QString withoutFinalDot(QString text)
{
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

QStringList lines(const QString& text)
{
    QStringList all = text.split('\n');
    for (QString& line : all) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return all;
}

} // namespace

bool readGenBank(const QString& text, SequenceRecord& record)
{
    const QStringList all = lines(text);
    if (all.isEmpty() || !all.first().startsWith(QLatin1String("LOCUS ")))
        return false;
    record = {};
    record.format = QStringLiteral("GenBank");
    const QStringList locus = all.first().mid(5).split(' ', Qt::SkipEmptyParts);
    record.name = locus.value(0);
    const bool protein = locus.value(2) == QLatin1String("aa");
    record.molecule = protein ? QStringLiteral("protein") : locus.value(3);
    for (const QString& word : locus) {
        if (word == QLatin1String("linear") || word == QLatin1String("circular"))
            record.topology = word;
    }
    FeatureTableReader features(record.features);
    QString section;
    QString residues;
    for (const QString& line : all.mid(1)) {
        if (line.startsWith(QLatin1String("//")))
            break;
        const QString tag = line.left(12).trimmed();
        if (!line.startsWith(' ')) {
            section = tag.section(' ', 0, 0);
            if (section == QLatin1String("FEATURES") || section == QLatin1String("ORIGIN"))
                continue;
        } else if (section == QLatin1String("ORIGIN")) {
            residues += line;
            continue;
        } else if (section == QLatin1String("FEATURES")) {
            features.addLine(line.mid(5));
            continue;
        } else if (!tag.isEmpty()) {
            section = tag; // a sub-field such as ORGANISM
        }
        const QString value = line.mid(12);
        if (section == QLatin1String("DEFINITION"))
            appendField(record.description, value);
        else if (section == QLatin1String("ACCESSION") && record.accession.isEmpty())
            record.accession = value.split(' ', Qt::SkipEmptyParts).value(0);
        else if (section == QLatin1String("ORGANISM") && !tag.isEmpty())
            record.organism = value.trimmed();
    }
    record.description = withoutFinalDot(record.description);
    record.residues = residuesOf(residues);
    return true;
}

bool readEmbl(const QString& text, SequenceRecord& record)
{
    const QStringList all = lines(text);
    if (all.isEmpty() || !all.first().startsWith(QLatin1String("ID   ")))
        return false;
    record = {};
    const QString id = all.first().mid(5);
    const bool uniprot = id.trimmed().endsWith(QLatin1String("AA."));
    record.format = uniprot ? QStringLiteral("UniProt") : QStringLiteral("EMBL");
    record.name = id.section(QRegularExpression(QStringLiteral("[ ;]")), 0, 0);
    record.molecule = QStringLiteral("protein");
    if (!uniprot) {
        // "ID   X56734; SV 1; linear; mRNA; STD; PLN; 1859 BP." or the older
        // "ID   NAME  standard; DNA; UNC; 100 BP."
        const QStringList parts = id.split(';');
        record.molecule = QStringLiteral("DNA");
        for (const QString& part : parts) {
            const QString word = part.trimmed();
            if (word == QLatin1String("linear") || word == QLatin1String("circular"))
                record.topology = word;
            else if (word.contains(QLatin1String("DNA")) || word.contains(QLatin1String("RNA")))
                record.molecule = word;
        }
    }
    FeatureTableReader features(record.features);
    QString recommended;
    QString residues;
    bool inSequence = false;
    for (const QString& line : all.mid(1)) {
        if (line.startsWith(QLatin1String("//")))
            break;
        if (inSequence) {
            residues += line;
            continue;
        }
        const QString tag = line.left(2);
        const QString value = line.mid(5);
        if (tag == QLatin1String("AC") && record.accession.isEmpty())
            record.accession = value.section(';', 0, 0).trimmed();
        else if (tag == QLatin1String("DE"))
            appendField(record.description, value);
        else if (tag == QLatin1String("OS") && record.organism.isEmpty())
            record.organism = withoutFinalDot(value.trimmed());
        else if (tag == QLatin1String("FT"))
            features.addLine(value);
        else if (tag == QLatin1String("SQ"))
            inSequence = true;
        if (tag == QLatin1String("DE") && recommended.isEmpty() &&
            value.contains(QLatin1String("Full=")))
            recommended = value.section(QLatin1String("Full="), 1).section(';', 0, 0);
    }
    record.description = recommended.isEmpty() ? withoutFinalDot(record.description) : recommended;
    record.residues = residuesOf(residues);
    return true;
}

bool readFasta(const QString& text, SequenceRecord& record)
{
    if (!text.startsWith('>'))
        return false;
    record = {};
    record.format = QStringLiteral("FASTA");
    const qsizetype end = text.indexOf('\n');
    const QString header = text.mid(1, end < 0 ? -1 : end - 1).trimmed();
    record.name = header.section(' ', 0, 0);
    record.description = header.section(' ', 1);
    // Only the first record counts; the next '>' ends it.
    const qsizetype next = end < 0 ? -1 : text.indexOf(QLatin1String("\n>"), end);
    record.residues = residuesOf(end < 0 ? QString() : text.mid(end, next < 0 ? -1 : next - end));
    static const QRegularExpression notNucleotide(QStringLiteral("[^ACGTUN]"));
    record.molecule =
        record.residues.contains(notNucleotide) ? QStringLiteral("protein") : QStringLiteral("DNA");
    return true;
}

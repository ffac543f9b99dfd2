#include "record_text.h"

#include <QStringList>

#include <algorithm>

QString formatResidues(const QString& residues, int perLine)
{
    constexpr int kGroup = 10;
    perLine = std::max(kGroup, perLine - perLine % kGroup);
    // Numbers line up with the widest, the one of the last line.
    const qsizetype lastStart =
        residues.isEmpty() ? 1 : (residues.size() - 1) / perLine * perLine + 1;
    const int width = int(QString::number(lastStart).size());
    QString text;
    for (qsizetype line = 0; line < residues.size(); line += perLine) {
        if (line > 0)
            text += '\n';
        text += QString::number(line + 1).rightJustified(width);
        for (qsizetype group = line; group < std::min(line + perLine, residues.size());
             group += kGroup)
            text += ' ' + residues.mid(group, kGroup);
    }
    return text;
}

QString featureDetails(const Feature& feature)
{
    QStringList parts;
    for (const auto& [name, value] : feature.qualifiers)
        parts << (name.isEmpty() ? value : value.isEmpty() ? name : name + '=' + value);
    return parts.join(QLatin1String("; "));
}

QString citationHtml(const Citation& citation)
{
    const auto escaped = [](const QString& text) { return text.toHtmlEscaped(); };
    QString authors = citation.authors.join(QLatin1String(", "));
    if (authors.isEmpty())
        authors = QStringLiteral("Anonymous");
    QString source = QStringLiteral("<i>%1</i>").arg(escaped(citation.journal));
    if (!citation.volume.isEmpty())
        source += ' ' + QStringLiteral("<b>%1</b>").arg(escaped(citation.volume));
    if (!citation.issue.isEmpty())
        source += '(' + escaped(citation.issue) + ')';
    if (!citation.pages.isEmpty())
        source += ':' + escaped(citation.pages);
    QString title = citation.title;
    if (!title.isEmpty() && !title.endsWith('.') && !title.endsWith('?'))
        title += '.';
    QString html = QStringLiteral("<p>%1 (%2). <b>%3</b> %4.</p>")
                       .arg(escaped(authors), escaped(citation.year), escaped(title), source);
    if (!citation.pmid.isEmpty())
        html += QStringLiteral("<p>PMID: %1</p>").arg(escaped(citation.pmid));
    if (!citation.abstract.isEmpty())
        html += QStringLiteral("<h4>Abstract</h4><p>%1</p>").arg(escaped(citation.abstract));
    return html;
}

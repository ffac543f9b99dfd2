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

QString featureDetails(const Dbscout::Records::Feature& feature)
{
    QStringList parts;
    for (const Dbscout::Records::Qualifier& qualifier : feature.qualifiers)
        parts << (qualifier.hasValue ? shown(qualifier.name + "=" + qualifier.value)
                                     : shown(qualifier.name));
    return parts.join(QLatin1String("; "));
}

QString citationHtml(const Dbscout::Records::Citation& citation)
{
    const auto escaped = [](const std::string& text) { return shown(text).toHtmlEscaped(); };
    QStringList authorList;
    for (const std::string& author : citation.authors)
        authorList << shown(author);
    QString authors = authorList.join(QLatin1String(", ")).toHtmlEscaped();
    if (authors.isEmpty())
        authors = QStringLiteral("Anonymous");
    QString source = QStringLiteral("<i>%1</i>").arg(escaped(citation.journal));
    if (!citation.volume.empty())
        source += ' ' + QStringLiteral("<b>%1</b>").arg(escaped(citation.volume));
    if (!citation.issue.empty())
        source += '(' + escaped(citation.issue) + ')';
    if (!citation.pages.empty())
        source += ':' + escaped(citation.pages);
    QString title = escaped(citation.title);
    if (!title.isEmpty() && !title.endsWith('.') && !title.endsWith('?'))
        title += '.';
    QString html = QStringLiteral("<p>%1 (%2). <b>%3</b> %4.</p>")
                       .arg(authors, escaped(citation.year), title, source);
    if (!citation.pmid.empty())
        html += QStringLiteral("<p>PMID: %1</p>").arg(escaped(citation.pmid));
    if (!citation.abstract.empty())
        html += QStringLiteral("<h4>Abstract</h4><p>%1</p>").arg(escaped(citation.abstract));
    return html;
}

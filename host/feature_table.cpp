#include "feature_table.h"

#include <QRegularExpression>

namespace {

constexpr int kValueColumn = 16;

QString unquoted(QString value)
{
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.mid(1, value.size() - 2);
    return value.replace(QLatin1String("\"\""), QLatin1String("\""));
}

} // namespace

void FeatureTableReader::addLine(const QString& line)
{
    // Old UniProt: "KEY  FROM  TO  description" in place of the key and location columns.
    static const QRegularExpression oldStyle(
        QStringLiteral("^(\\S+)\\s+([<>?]?\\d+)\\s+([<>?]?\\d+)(?:\\s+(.*))?$"));
    const QRegularExpressionMatch match = oldStyle.match(line.trimmed());
    const QString key = line.left(kValueColumn).trimmed();
    const QString value = line.mid(kValueColumn).trimmed();
    if (!match.hasMatch() && key.isEmpty()) {
        if (!m_features.isEmpty() && !value.isEmpty())
            addValue(value);
        return;
    }
    Feature feature;
    if (match.hasMatch() && !line.startsWith(' ')) {
        feature.key = match.captured(1);
        const QString from = match.captured(2);
        const QString to = match.captured(3);
        feature.location = from == to ? from : from + QLatin1String("..") + to;
        if (!match.captured(4).isEmpty())
            feature.qualifiers.append({QString(), match.captured(4)});
        m_inLocation = false;
    } else {
        feature.key = key;
        feature.location = value;
        m_inLocation = value.endsWith(',');
    }
    m_quoteOpen = false;
    m_features.append(feature);
}

void FeatureTableReader::addValue(const QString& text)
{
    Feature& feature = m_features.last();
    if (m_inLocation) {
        feature.location += text;
        m_inLocation = text.endsWith(',');
        return;
    }
    if (text.startsWith('/') && !m_quoteOpen) {
        const qsizetype equals = text.indexOf('=');
        const QString name = text.mid(1, equals < 0 ? -1 : equals - 1);
        const QString value = equals < 0 ? QString() : text.mid(equals + 1);
        m_quoteOpen = value.startsWith('"') && (value.size() == 1 || !value.endsWith('"'));
        feature.qualifiers.append({name, m_quoteOpen ? value : unquoted(value)});
        return;
    }
    if (feature.qualifiers.isEmpty()) {
        feature.qualifiers.append({QString(), text});
        return;
    }
    QString& value = feature.qualifiers.last().second;
    // Translations and other residue runs continue without a blank.
    const bool joinTight = feature.qualifiers.last().first == QLatin1String("translation");
    value += (joinTight ? QString() : QStringLiteral(" ")) + text;
    if (m_quoteOpen && text.endsWith('"')) {
        m_quoteOpen = false;
        value = unquoted(value);
    }
}

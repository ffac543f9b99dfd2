#include "feature_table.h"

#include "platform/blanks.h"
#include "text_lines.h"

namespace Dbscout::Records {
namespace {

constexpr size_t kKeyWidth = 16;
// Of a line's 79 columns, what the prefix and the key column leave.
constexpr size_t kValueWidth = 79 - 5 - kKeyWidth;

// Residues join without blanks where their lines break.
bool joinsTight(const Qualifier& qualifier)
{
    return qualifier.name == "translation";
}

std::string unescaped(std::string_view raw)
{
    std::string value;
    for (size_t i = 0; i < raw.size(); ++i) {
        value += raw[i];
        if (raw[i] == '"' && i + 1 < raw.size() && raw[i + 1] == '"')
            ++i;
    }
    return value;
}

std::string escaped(std::string_view value)
{
    std::string text;
    for (char c : value) {
        text += c;
        if (c == '"')
            text += '"';
    }
    return text;
}

// One position of an old UniProt line: "12", "<12", ">12", "?12" or "?".
bool oldPosition(std::string_view word, Position& position)
{
    Location single;
    std::string error;
    if (!parseLocation(word, single, error) || single.kind != Location::Kind::Range ||
        single.ranged || !single.accession.empty() || single.from.fuzz == Position::Fuzz::Within ||
        single.from.fuzz == Position::Fuzz::OneOf)
        return false;
    position = single.from;
    return true;
}

// "25    282       12S seed storage protein": a range and the start of its description.
bool oldStyle(std::string_view rest, Location& location, std::string& description)
{
    const std::vector<std::string_view> parts = words(rest);
    if (parts.size() < 2 || !oldPosition(parts[0], location.from) ||
        !oldPosition(parts[1], location.to))
        return false;
    location.ranged = !(location.from == location.to);
    const size_t end = static_cast<size_t>(parts[1].data() - rest.data()) + parts[1].size();
    description = trimmed(rest.substr(end), kLineBlanks);
    return true;
}

} // namespace

Outcome FeatureTableReader::line(std::string_view content, size_t number)
{
    if (trimmed(content, kLineBlanks).empty())
        return Outcome::done();
    if (!isLineBlank(content[0])) {
        if (m_quoteOpen)
            return Outcome::failed(number, "a new feature starts inside the quoted value of /" +
                                               m_features.back().qualifiers.back().name +
                                               " (line " + std::to_string(m_qualifierLine) +
                                               "), which is never closed");
        if (Outcome ended = endFeature(); !ended.ok())
            return ended;
        return startFeature(content, number);
    }
    const std::string_view text = trimmed(content, kLineBlanks);
    if (m_features.empty())
        return Outcome::failed(number, "\"" + std::string(text) +
                                           "\" stands before the first feature's key");
    return continueValue(text, number);
}

Outcome FeatureTableReader::startFeature(std::string_view content, size_t number)
{
    const std::string_view key = words(content).front();
    const std::string_view rest = trimmed(content.substr(key.size()), kLineBlanks);
    Feature& feature = m_features.emplace_back();
    m_lines.push_back(number);
    feature.key = key;
    std::string description;
    m_oldStyle = m_oldUniProt && oldStyle(rest, feature.location, description);
    m_inLocation = !m_oldStyle;
    m_location = m_oldStyle ? std::string() : std::string(rest);
    if (m_oldStyle && !description.empty())
        feature.qualifiers.push_back({"note", description, true, true});
    return Outcome::done();
}

Outcome FeatureTableReader::continueValue(std::string_view text, size_t number)
{
    Feature& feature = m_features.back();
    if (m_quoteOpen) {
        Qualifier& qualifier = feature.qualifiers.back();
        if (joinsTight(qualifier))
            m_raw += text;
        else
            appendJoined(m_raw, text);
        return closeQuote(number);
    }
    if (text.starts_with('/')) {
        if (Outcome ended = endLocation(); !ended.ok())
            return ended;
        return startQualifier(text, number);
    }
    if (m_inLocation) {
        m_location += text;
        return Outcome::done();
    }
    if (m_oldStyle) {
        if (feature.qualifiers.empty() || feature.qualifiers.front().name != "note")
            feature.qualifiers.insert(feature.qualifiers.begin(), {"note", "", true, true});
        appendJoined(feature.qualifiers.front().value, text);
        return Outcome::done();
    }
    if (!feature.qualifiers.empty() && feature.qualifiers.back().hasValue &&
        !feature.qualifiers.back().quoted) {
        feature.qualifiers.back().value += text;
        return Outcome::done();
    }
    return Outcome::failed(number, "\"" + std::string(text) + "\" continues no qualifier of " +
                                       feature.key);
}

Outcome FeatureTableReader::startQualifier(std::string_view text, size_t number)
{
    const size_t equals = text.find('=');
    Qualifier qualifier;
    qualifier.name = text.substr(1, equals == std::string_view::npos ? equals : equals - 1);
    if (qualifier.name.empty() || qualifier.name.find_first_of("\" \t") != std::string::npos)
        return Outcome::failed(number, "\"" + std::string(text) + "\" names no qualifier");
    qualifier.hasValue = equals != std::string_view::npos;
    const std::string_view value = qualifier.hasValue ? text.substr(equals + 1) : text.substr(0, 0);
    // Old UniProt: "/FTId=PRO_0000018815." is the feature's id.
    if (m_oldStyle && qualifier.name == "FTId")
        qualifier = {"id", std::string(withoutFinal(value, '.')), true, true};
    else if (value.starts_with('"'))
        qualifier.quoted = true;
    else
        qualifier.value = value;
    m_features.back().qualifiers.push_back(std::move(qualifier));
    if (!m_features.back().qualifiers.back().quoted || !value.starts_with('"'))
        return Outcome::done();
    m_quoteOpen = true;
    m_raw = value.substr(1);
    m_scanned = 0;
    m_qualifierLine = number;
    return closeQuote(number);
}

Outcome FeatureTableReader::closeQuote(size_t number)
{
    size_t at = m_scanned;
    while (at < m_raw.size() &&
           !(m_raw[at] == '"' && (at + 1 == m_raw.size() || m_raw[at + 1] != '"')))
        at += m_raw[at] == '"' ? 2 : 1;
    m_scanned = at;
    if (at >= m_raw.size())
        return Outcome::done();
    Qualifier& qualifier = m_features.back().qualifiers.back();
    if (at + 1 != m_raw.size())
        return Outcome::failed(number, "\"" + m_raw.substr(at + 1) +
                                           "\" follows the closing quote of /" + qualifier.name);
    qualifier.value = unescaped(std::string_view(m_raw).substr(0, at));
    m_quoteOpen = false;
    return Outcome::done();
}

Outcome FeatureTableReader::endLocation()
{
    if (!m_inLocation)
        return Outcome::done();
    m_inLocation = false;
    Feature& feature = m_features.back();
    std::string error;
    if (!parseLocation(m_location, feature.location, error))
        return Outcome::failed(m_lines.back(), feature.key + ": " + error);
    return Outcome::done();
}

Outcome FeatureTableReader::endFeature()
{
    return m_features.empty() ? Outcome::done() : endLocation();
}

Outcome FeatureTableReader::finish(long long length, std::vector<Feature>& features)
{
    if (m_quoteOpen)
        return Outcome::failed(m_qualifierLine, "the quoted value of /" +
                                                    m_features.back().qualifiers.back().name +
                                                    " is never closed");
    if (Outcome ended = endFeature(); !ended.ok())
        return ended;
    for (size_t i = 0; length > 0 && i < m_features.size(); ++i) {
        const Feature& feature = m_features[i];
        if (const Position* outside = positionOutside(feature.location, length))
            return Outcome::failed(m_lines[i], "the location " + locationText(feature.location) +
                                                   " of " + feature.key + " names " +
                                                   std::to_string(outside->value) +
                                                   ", outside the " + std::to_string(length) +
                                                   " residues of the sequence");
    }
    features = std::move(m_features);
    return Outcome::done();
}

void writeFeatureTable(std::string& out, std::string_view prefix,
                       const std::vector<Feature>& features)
{
    const std::string indent = std::string(prefix) + std::string(kKeyWidth, ' ');
    for (const Feature& feature : features) {
        std::string head = std::string(prefix) + feature.key;
        head +=
            std::string(feature.key.size() < kKeyWidth ? kKeyWidth - feature.key.size() : 1, ' ');
        // A location breaks after its commas; its lines join as they are.
        const std::string location = locationText(feature.location);
        writeLines(out, head, indent, wrapAfter(location, kValueWidth, ','));
        for (const Qualifier& qualifier : feature.qualifiers) {
            std::string text = "/" + qualifier.name;
            if (qualifier.hasValue)
                text += "=" + (qualifier.quoted ? "\"" + escaped(qualifier.value) + "\""
                                                : qualifier.value);
            // Never right after the opening quote: a blank there would be lost.
            const size_t from = qualifier.name.size() + 4;
            if (!qualifier.quoted)
                writeLines(out, indent, indent, {text});
            else if (joinsTight(qualifier))
                writeLines(out, indent, indent, wrapTight(text, kValueWidth, from, "\""));
            else
                writeLines(out, indent, indent, wrapAtBlanks(text, kValueWidth, from));
        }
    }
}

} // namespace Dbscout::Records

#include "copy_place.h"

#include "object_saver.h"

#include <QObject>
#include <QUrl>

#include <algorithm>

namespace {

constexpr const char* kDefaultSubset = "From NCBI";

// The raw value of parameter name in a query part; nothing when it is absent.
std::optional<std::string> parameter(const std::string& parameters, const std::string& name)
{
    size_t begin = 0;
    while (begin <= parameters.size()) {
        const size_t end = std::min(parameters.find('&', begin), parameters.size());
        if (parameters.compare(begin, name.size() + 1, name + "=") == 0)
            return parameters.substr(begin + name.size() + 1, end - begin - name.size() - 1);
        begin = end + 1;
    }
    return std::nullopt;
}

std::string escaped(const std::string& text)
{
    return QUrl::toPercentEncoding(QString::fromLocal8Bit(text)).toStdString();
}

} // namespace

bool isLocalAddress(const std::string& address)
{
    return address.starts_with("molb://local/");
}

std::optional<CopyPlace> CopyPlace::fromSaveUrl(const std::string& url)
{
    const size_t question = url.find('?');
    const std::string path = url.substr(0, question);
    const size_t nameSlash = path.rfind('/');
    const size_t kindSlash = nameSlash == std::string::npos || nameSlash == 0
                                 ? std::string::npos
                                 : path.rfind('/', nameSlash - 1);
    if (!url.starts_with("molb://") || kindSlash == std::string::npos)
        return std::nullopt;
    const std::string kind = path.substr(kindSlash + 1, nameSlash - kindSlash - 1);
    const std::span<const SourceKind> kinds = sourceKinds();
    if (std::none_of(kinds.begin(), kinds.end(),
                     [&kind](const SourceKind& known) { return kind == known.keyword; }))
        return std::nullopt;
    CopyPlace place;
    place.m_saveUrl = url;
    place.m_store = path.substr(0, kindSlash + 1);
    place.m_kind = kind;
    place.m_parameters = question == std::string::npos ? std::string() : url.substr(question + 1);
    if (const auto user = parameter(place.m_parameters, "user")) {
        place.m_credentials =
            "user=" + *user + "&pass=" + parameter(place.m_parameters, "pass").value_or("");
    }
    const QString subset = QUrl::fromPercentEncoding(
        QByteArray::fromStdString(parameter(place.m_parameters, "query").value_or("")));
    if (subset.compare(QLatin1String("MAIN"), Qt::CaseInsensitive) != 0)
        place.m_subset = subset;
    return place;
}

std::optional<CopyPlace> CopyPlace::byDefault(const std::vector<ConfiguredSource>& sources)
{
    for (const ConfiguredSource& source : sources) {
        if (!source.canSave || !isLocalAddress(source.address))
            continue;
        std::string url =
            kindAddress(source.address, "citation") + "NAME?query=" + escaped(kDefaultSubset);
        if (source.hasLogin)
            url += "&user=" + source.user + "&pass=" + source.password;
        return fromSaveUrl(url + "&command=put");
    }
    return std::nullopt;
}

QString CopyPlace::description(const std::vector<ConfiguredSource>& sources,
                               const std::string& kind) const
{
    const std::string address = kind.empty() ? m_store : m_store + kind + "/";
    const std::string name =
        kind.empty() ? sourceNameOf(sources, address) : sourceTextOf(sources, address);
    // A place no source has (sourceTextOf gives its address back) is named by its address.
    const QString source =
        name.empty() || name == address ? saveLocation(address) : QString::fromLocal8Bit(name);
    return m_subset.isEmpty() ? source : QObject::tr("%1, subset %2").arg(source, m_subset);
}

std::string CopyPlace::putUrl(const std::string& kind, const std::string& name) const
{
    return m_store + kind + "/" + escaped(name) + "?" + m_parameters;
}

std::string CopyPlace::batchSaveUrl(bool force) const
{
    return m_store + "?" + m_parameters + "&batch=yes&newsubset=yes" + (force ? "&force=yes" : "");
}

std::string CopyPlace::subsetNamesUrl(const std::string& kind) const
{
    return m_store + kind + "/?" + (m_credentials.empty() ? "" : m_credentials + "&") +
           "writable=yes";
}

std::string CopyPlace::createSubsetUrl(const std::string& kind) const
{
    // The new subset's name goes last and raw, as the handler reads it.
    return m_store + kind + "/?" + (m_credentials.empty() ? "" : m_credentials + "&") +
           "start=0&page=1&command=cs&command=dir&query=" + m_subset.toLocal8Bit().toStdString();
}

// The data-source box: configured data sources filtered and split by kind, the addresses typed
// earlier, the place last opened, and the place the host asked to start at.

#include "panel/scout_panel.h"

#include "document/object_kinds.h"
#include "hostlibs/molb_url_unescape.h"
#include "request/list_url.h"
#include "request/url_params.h"
#include "resources/images.h"
#include "settings/reg_containers.h"

#include <QComboBox>
#include <QImageReader>
#include <QLineEdit>

using namespace Dbscout;

Q_DECLARE_METATYPE(Dbscout::CDataSourceDesc*)

namespace {

constexpr const char* kSuitePath[] = {"KORVALE, INC", "MOLB 10", "Data Sources", "MolbLight"};
constexpr const char* kDefaultIconKey =
    "Software\\KORVALE, INC\\MOLB 10\\Data Sources\\MolbLight\\DefaultIcon";

// Whether a configured data source serves objects of a kind: each kind has its flag.
bool serves(const CDataSourceDesc& source, int kindCode)
{
    switch (kindCode) {
    case KindCode::DnaRna:
        return source.m_bDnaRna;
    case KindCode::Protein:
        return source.m_bProtein;
    case KindCode::Blast:
        return source.m_bBlast;
    case KindCode::Citation:
        return source.m_bCitation;
    case KindCode::Analysis:
        return source.m_bAnalysis;
    default:
        return false;
    }
}

// Whether a data source has anything a panel made for the host's data type lists. A panel for
// any kind keeps every source here; one without kinds then yields no entries.
bool supports(const CDataSourceDesc& source, int dataType)
{
    if (dataType == KindCode::Any)
        return true;
    for (const ObjectKind& kind : objectKinds())
        if (dataTypeAccepts(dataType, kind.code) && serves(source, kind.code))
            return true;
    return false;
}

// The host suite's key of configured data sources, made where it is missing.
bool openSourcesKey(RegKey& sources)
{
    RegKey key;
    if (key.open(HKEY_CURRENT_USER, "Software", KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return false;
    for (const char* level : kSuitePath) {
        RegKey next;
        if (next.create(key.get(), level, KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
            return false;
        key = std::move(next);
    }
    return sources.create(key.get(), "sources", KEY_READ | KEY_WRITE) == ERROR_SUCCESS;
}

// Keeps the sources the panel lists: those shown for its mode and data type, each with its
// kind's path, or, for a panel of any kind, one copy per kind it serves.
void keepListedSources(CDataSourceList& sources, int openMode, int dataType)
{
    // Walk from the tail: copies appended for the kinds are not visited again.
    POSITION position = sources.GetTailPosition();
    while (position) {
        const POSITION current = position;
        CDataSourceDesc* source = sources.GetPrev(position);
        const bool shown = source->m_bVisible1 && source->m_bVisible2 &&
                           (openMode ? source->m_bCanOpen : source->m_bCanSave);
        if (!shown || !supports(*source, dataType)) {
            sources.RemoveAt(current);
            delete source;
            continue;
        }
        if (dataType > 0) {
            AppendKindPath(source->m_strAddress, dataType);
            continue;
        }
        for (const ObjectKind& kind : objectKinds()) {
            if (!serves(*source, kind.code) || !dataTypeAccepts(dataType, kind.code))
                continue;
            auto* copy = new CDataSourceDesc(*source);
            copy->m_strName += kind.sourceSuffix;
            AppendKindPath(copy->m_strAddress, kind.code);
            sources.AddTail(copy);
        }
        sources.RemoveAt(current);
        delete source;
    }
}

// The place last opened, from the settings key's LAST_OPEN; false when the key cannot be read.
bool loadLastOpen(HKEY settings, int& fromList, std::string& url)
{
    RegKey lastOpen;
    if (lastOpen.create(settings, "LAST_OPEN", KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return true;
    DWORD largestValue = 0;
    if (RegQueryInfoKeyA(lastOpen.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, &largestValue, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    DWORD fromListValue = 0;
    if (readDword(lastOpen.get(), "LAST_OPEN_DS", fromListValue))
        fromList = int(fromListValue);
    readString(lastOpen.get(), "LAST_OPEN_URL", url, largestValue + 1);
    return true;
}

} // namespace

CDataSourceDesc* CScoutPanel::selectedSource() const
{
    const int index = m_cbDataSource ? m_cbDataSource->currentIndex() : -1;
    if (index < 0)
        return nullptr;
    return m_cbDataSource->itemData(index).value<CDataSourceDesc*>();
}

bool CScoutPanel::LoadDataSources()
{
    RegKey sources;
    if (!openSourcesKey(sources))
        return false;
    m_dataSources.Load(sources.get());
    keepListedSources(m_dataSources, m_bOpenMode, m_nDataType);
    if (!loadHostIcon())
        return false;
    if (!m_hSettingsKey)
        return true;
    m_queryHistory.Load(m_hSettingsKey);
    RegKey history;
    if (history.create(m_hSettingsKey, "DSHISTORY", KEY_READ | KEY_WRITE) == ERROR_SUCCESS)
        m_dsHistory.Load(history.get());
    if (!loadLastOpen(m_hSettingsKey, m_bLastOpenFromList, m_strLastOpenURL))
        return false;
    fillDataSourceBox();
    m_strPendingSource.clear();
    return true;
}

bool CScoutPanel::loadHostIcon()
{
    RegKey key;
    if (key.open(HKEY_CURRENT_USER, kDefaultIconKey, KEY_READ) != ERROR_SUCCESS)
        return false;
    DWORD largestValue = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, &largestValue, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    std::string value;
    if (!readString(key.get(), nullptr, value, largestValue + 1))
        return false;
    // "<icon file>,<number>": the number picks an image where the file holds several.
    const size_t comma = value.find(',');
    const QString file = QString::fromLocal8Bit(value.substr(0, comma));
    const int number = comma == std::string::npos ? 0 : std::atoi(value.c_str() + comma + 1);
    QImageReader reader(file);
    if (reader.imageCount() > 1)
        reader.jumpToImage(number);
    const QImage image = reader.read();
    if (!image.isNull()) {
        m_ilCombo << QIcon(QPixmap::fromImage(
            image.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        m_nHostIconIndex = int(m_ilCombo.size()) - 1;
    }
    return true;
}

void CScoutPanel::fillDataSourceBox()
{
    const QIcon sourceIcon =
        m_ilCombo.value(m_nHostIconIndex ? m_nHostIconIndex : ImageIndex::DnaRna);
    std::string remembered;
    int selected = -1;
    for (POSITION position = m_dataSources.GetHeadPosition(); position;) {
        CDataSourceDesc* source = m_dataSources.GetNext(position);
        m_cbDataSource->addItem(sourceIcon, QString::fromLocal8Bit(source->m_strName),
                                QVariant::fromValue(source));
        if (m_bLastOpenFromList && source->m_strAddress == m_strLastOpenURL) {
            selected = m_cbDataSource->count() - 1;
            remembered = source->m_strAddress;
        }
    }
    for (const std::string& address : m_dsHistory) {
        const int index = AddComboEntry(false, m_cbDataSource, address, ImageIndex::Address);
        if (!m_bLastOpenFromList && address == m_strLastOpenURL) {
            selected = index;
            remembered = address;
        }
    }
    m_cbDataSource->setCurrentIndex(selected);
    if (!remembered.empty() && m_queryHistory.count(remembered))
        for (const std::string& query : m_queryHistory[remembered])
            AddComboEntry(false, m_cbQuery, query, ImageIndex::Query);
}

void CScoutPanel::AddInitialSource()
{
    std::string address = m_strInitial;
    std::string user;
    std::string password;
    SplitUrlCredentials(address, user, password);
    while (!address.empty() && address.back() == '?')
        address.pop_back();
    auto* source = new CDataSourceDesc;
    source->m_strAddress = address;
    if (!user.empty()) {
        source->m_bHasLogin = 1;
        source->m_strUser = user;
        source->SetPasswordAndVersion(password.c_str(), 1);
    }
    m_dataSources.AddTail(source);
    const QIcon sourceIcon =
        m_ilCombo.value(m_nHostIconIndex ? m_nHostIconIndex : ImageIndex::DnaRna);
    m_cbDataSource->addItem(sourceIcon, QString::fromLocal8Bit(address),
                            QVariant::fromValue(source));
    m_cbDataSource->setCurrentIndex(m_cbDataSource->count() - 1);
    m_strPendingSource.clear();
}

void CScoutPanel::onDataSourceEditEnded()
{
    const QString text = m_cbDataSource->currentText();
    const int selected = m_cbDataSource->currentIndex();
    if (selected >= 0 && m_cbDataSource->itemText(selected) == text)
        return; // the text was not changed
    // The selection follows the text, so that a typed address is what every later listing uses
    // (Reload, the page commands, a subset pick), and never the entry selected before it, nor
    // that source's credentials. Letter case is ignored, as when addresses enter the box.
    const int match = m_cbDataSource->findText(text, Qt::MatchFixedString);
    if (match == selected)
        return;
    m_cbDataSource->setCurrentIndex(match);
    if (match < 0)
        m_cbDataSource->setEditText(text); // no entry: the box keeps what the user typed
}

void CScoutPanel::startAtInitialPlace()
{
    if (m_strInitial.empty()) {
        StartSubsetRequest(BuildListUrl(nullptr));
        return;
    }
    if (m_bLockName) {
        m_bNameLocked = 1;
        m_edName->setEnabled(false);
    }
    if (m_bInitialIsName) {
        m_edName->setText(QString::fromLocal8Bit(m_strInitial));
        m_strInitial.clear();
        if (m_cbQuery->count() > 0)
            m_cbQuery->setCurrentIndex(0);
        Browse(true);
        return;
    }
    const ObjectUrlParts place = readObjectUrl(m_strInitial);
    std::vector<char> name(place.escapedName.size() + 1);
    MolbURLUnescape(name.data(), int(place.escapedName.size()), place.escapedName.c_str());
    m_edName->setText(QString::fromLocal8Bit(name.data()));
    if (place.hasQuery) {
        m_strQuery = place.query;
        m_cbQuery->setEditText(QString::fromLocal8Bit(m_strQuery));
    }
    AddInitialSource();
    Browse(true);
}

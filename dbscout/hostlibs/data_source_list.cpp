#include "hostlibs/data_source_list.h"

#include <vector>

namespace Dbscout {

// One entry: the descriptor the list owns, and where the entry sits, so that a position leads
// to its neighbours.
struct DataSourcePosition
{
    std::unique_ptr<CDataSourceDesc> descriptor;
    std::list<DataSourcePosition>::iterator self;
};

namespace {

constexpr DWORD kMaxKeyName = 256;

// Text of a REG_SZ or REG_EXPAND_SZ value up to its first NUL (one stored without NUL is taken
// whole); anything else leaves text alone.
void readText(HKEY key, const char* name, std::string& text)
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return;
    std::vector<BYTE> data(size + 1, 0);
    if (RegQueryValueExA(key, name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS)
        text = reinterpret_cast<const char*>(data.data());
}

void readFlag(HKEY key, const char* name, int& flag)
{
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof value)
        flag = int(value);
}

CDataSourceDesc* readDescriptor(HKEY key)
{
    auto* source = new CDataSourceDesc;
    readText(key, "Name", source->m_strName);
    readText(key, "Address", source->m_strAddress);
    readFlag(key, "DnaRna", source->m_bDnaRna);
    readFlag(key, "Protein", source->m_bProtein);
    readFlag(key, "Blast", source->m_bBlast);
    readFlag(key, "Citation", source->m_bCitation);
    readFlag(key, "Analysis", source->m_bAnalysis);
    readFlag(key, "Visible1", source->m_bVisible1);
    readFlag(key, "CanOpen", source->m_bCanOpen);
    readFlag(key, "Visible2", source->m_bVisible2);
    readFlag(key, "CanSave", source->m_bCanSave);
    readFlag(key, "HasLogin", source->m_bHasLogin);
    readText(key, "User", source->m_strUser);
    readFlag(key, "FlagA", source->m_bFlagA);
    readFlag(key, "FlagB", source->m_bFlagB);
    std::string password;
    readText(key, "Password", password);
    source->SetPasswordAndVersion(password.c_str(), 1);
    return source;
}

} // namespace

CDataSourceList::CDataSourceList() = default;
CDataSourceList::~CDataSourceList() = default;

bool CDataSourceList::Load(HKEY sourcesKey)
{
    bool complete = true;
    char name[kMaxKeyName];
    for (DWORD index = 0;; ++index) {
        DWORD size = kMaxKeyName;
        const LONG result =
            RegEnumKeyExA(sourcesKey, index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            return complete;
        if (result != ERROR_SUCCESS)
            return false;
        RegKey source;
        if (source.open(sourcesKey, name, KEY_QUERY_VALUE) == ERROR_SUCCESS)
            AddTail(readDescriptor(source.get()));
        else
            complete = false;
    }
}

POSITION CDataSourceList::GetHeadPosition() const
{
    return m_entries.empty() ? nullptr : &m_entries.front();
}

POSITION CDataSourceList::GetTailPosition() const
{
    return m_entries.empty() ? nullptr : &m_entries.back();
}

CDataSourceDesc* CDataSourceList::GetNext(POSITION& position) const
{
    if (!position)
        return nullptr;
    CDataSourceDesc* descriptor = position->descriptor.get();
    const auto next = std::next(position->self);
    position = next == m_entries.end() ? nullptr : &*next;
    return descriptor;
}

CDataSourceDesc* CDataSourceList::GetPrev(POSITION& position) const
{
    if (!position)
        return nullptr;
    CDataSourceDesc* descriptor = position->descriptor.get();
    position = position->self == m_entries.begin() ? nullptr : &*std::prev(position->self);
    return descriptor;
}

POSITION CDataSourceList::AddTail(CDataSourceDesc* descriptor)
{
    m_entries.push_back({std::unique_ptr<CDataSourceDesc>(descriptor), {}});
    m_entries.back().self = std::prev(m_entries.end());
    return &m_entries.back();
}

void CDataSourceList::RemoveAt(POSITION position)
{
    if (!position)
        return;
    // The caller keeps the descriptor.
    (void)position->self->descriptor.release();
    m_entries.erase(position->self);
}

} // namespace Dbscout

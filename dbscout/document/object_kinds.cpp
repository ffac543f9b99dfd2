#include "document/object_kinds.h"

#include "resources/image_index.h"

namespace Dbscout {

namespace {

constexpr ObjectKind kKinds[] = {
    {KindCode::DnaRna, "dnarna", " (DNA/RNA)", ImageIndex::DnaRna},
    {KindCode::Protein, "protein", " (Protein)", ImageIndex::Protein},
    {KindCode::Blast, "blast", " (Blast)", ImageIndex::Blast},
    {KindCode::Citation, "citation", " (Citation)", ImageIndex::Citation},
    {KindCode::Analysis, "analysis", " (Analyses)", ImageIndex::Analysis},
};

} // namespace

std::span<const ObjectKind> objectKinds()
{
    return kKinds;
}

const ObjectKind* kindOfCode(int code)
{
    for (const ObjectKind& kind : kKinds)
        if (kind.code == code)
            return &kind;
    return nullptr;
}

const ObjectKind* kindOfKeyword(const std::string& keyword)
{
    for (const ObjectKind& kind : kKinds)
        if (keyword == kind.keyword)
            return &kind;
    return nullptr;
}

int kindCodeOfTitle(const std::string& title)
{
    const ObjectKind* kind = kindOfKeyword(title);
    return kind ? kind->code : KindCode::Unknown;
}

int rowImageOfTitle(const std::string& title)
{
    const ObjectKind* kind = kindOfKeyword(title);
    return kind ? kind->image : ImageIndex::Address;
}

void AppendKindPath(std::string& strURL, int nKind)
{
    const ObjectKind* kind = kindOfCode(nKind);
    if (!kind)
        return;
    if (strURL.empty() || (strURL.back() != '/' && strURL.back() != ':'))
        strURL += '/';
    strURL += kind->keyword;
    strURL += '/';
}

bool dataTypeAccepts(int dataType, int kindCode)
{
    if (dataType == KindCode::Any)
        return true;
    if (dataType > 0)
        return kindCode == dataType;
    return dataType == KindCode::DnaRnaOrProtein &&
           (kindCode == KindCode::DnaRna || kindCode == KindCode::Protein);
}

} // namespace Dbscout

#include "hostlibs/data_source_desc.h"

namespace Dbscout {

void CDataSourceDesc::SetPasswordAndVersion(const char* pszPassword, int nVersion)
{
    m_strPassword = pszPassword ? pszPassword : "";
    m_nPasswordVersion = nVersion;
}

std::string CDataSourceDesc::GetPassword() const
{
    return m_strPassword;
}

} // namespace Dbscout

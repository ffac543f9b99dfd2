#pragma once
// One configured data source of the host suite, as the panel reads it.

#include <string>

namespace Dbscout {

class CDataSourceDesc
{
public:
    // An empty descriptor: every flag 0, every string empty.
    CDataSourceDesc() = default;
    // A full copy, the password included.
    CDataSourceDesc(const CDataSourceDesc&) = default;
    CDataSourceDesc& operator=(const CDataSourceDesc&) = default;
    virtual ~CDataSourceDesc() = default;

    // Keeps the password for GetPassword. The version names the form the password came in;
    // 1 is plain text, the only form there is.
    void SetPasswordAndVersion(const char* pszPassword, int nVersion);
    virtual std::string GetPassword() const;

    std::string m_strName;    // shown in the data-source box
    std::string m_strAddress; // start of every request URL to this source
    int m_bDnaRna = 0;        // the kinds of objects the source serves
    int m_bProtein = 0;
    int m_bBlast = 0;
    int m_bCitation = 0;
    int m_bAnalysis = 0;
    int m_bVisible1 = 0; // 0: never shown
    int m_bCanOpen = 0;  // needed in open mode
    int m_bVisible2 = 0; // 0: never shown
    int m_bCanSave = 0;  // needed in save mode
    int m_bHasLogin = 0; // set: m_strUser and GetPassword are the credentials
    std::string m_strUser;
    int m_bFlagA = 0; // in open mode, lets several rows be selected
    int m_bFlagB = 0; // the host is handed its inverse with the object URL

private:
    std::string m_strPassword;
    int m_nPasswordVersion = 0;
};

} // namespace Dbscout

// The data-source list: loading from the settings store, and the edges the panel never reaches.

#include "hostlibs/data_source_list.h"

#include "support/child_process.h"
#include "platform/registry_fixture.h"

using namespace DbscoutTest;
using namespace Dbscout;
using std::string_literals::operator""s;

namespace {

constexpr const char* kSources =
    "Software\\KORVALE, INC\\MOLB 10\\Data Sources\\MolbLight\\sources";

// DnaRna, Protein, Blast, Citation, Analysis, Visible1, CanOpen, Visible2, CanSave, HasLogin,
// FlagA, FlagB.
std::vector<int> flagsOf(const CDataSourceDesc& s)
{
    return {s.m_bDnaRna,  s.m_bProtein,  s.m_bBlast,   s.m_bCitation, s.m_bAnalysis, s.m_bVisible1,
            s.m_bCanOpen, s.m_bVisible2, s.m_bCanSave, s.m_bHasLogin, s.m_bFlagA,    s.m_bFlagB};
}

} // namespace

TEST_F(RegistryTest, documentedExampleLoadsInSubkeyNameOrder)
{
    const ProcessResult imported = runProcess(DBSCOUT_REG_TOOL, {"import", DBSCOUT_SOURCES_EXAMPLE});
    ASSERT_EQ(imported.exitCode, 0) << imported.errors;
    RegKey sources;
    ASSERT_EQ(sources.open(HKEY_CURRENT_USER, kSources), ERROR_SUCCESS);
    CDataSourceList list;
    ASSERT_TRUE(list.Load(sources.get()));
    ASSERT_EQ(list.GetCount(), 2);

    POSITION position = list.GetHeadPosition();
    const CDataSourceDesc* central = list.GetNext(position); // "Central" sorts before "Lab"
    const CDataSourceDesc* lab = list.GetNext(position);
    EXPECT_EQ(position, nullptr);
    EXPECT_EQ(central->m_strName + " " + central->m_strAddress + " " + central->m_strUser + " " +
                  central->GetPassword(),
              "Central literature molb://db.example.org:5432/central/ reader s3cret");
    EXPECT_EQ(lab->m_strName + " " + lab->GetPassword(), "Lab sequences ");
    EXPECT_EQ(flagsOf(*central), (std::vector<int>{0, 0, 0, 1, 0, 1, 1, 1, 0, 1, 0, 0}));
    EXPECT_EQ(flagsOf(*lab), (std::vector<int>{1, 1, 0, 0, 0, 1, 1, 1, 1, 0, 1, 0}));
}

TEST_F(RegistryTest, missingOrMistypedValuesLeaveTheDefaults)
{
    RegKey odd = createKey(HKEY_CURRENT_USER, "Software\\Sources\\odd");
    put(odd.get(), "Name", REG_DWORD, "\1\0\0\0"s);
    put(odd.get(), "Address", REG_EXPAND_SZ, "molb://x/\0ignored"s);
    put(odd.get(), "User", REG_SZ, "no terminator");
    put(odd.get(), "CanOpen", REG_SZ, "1\0"s);
    put(odd.get(), "FlagA", REG_DWORD, "\1\0"s);
    put(odd.get(), "FlagB", REG_DWORD, "\7\0\0\0"s);
    createKey(HKEY_CURRENT_USER, "Software\\Sources\\empty");

    RegKey sources;
    ASSERT_EQ(sources.open(HKEY_CURRENT_USER, "Software\\Sources"), ERROR_SUCCESS);
    CDataSourceList list;
    ASSERT_TRUE(list.Load(sources.get()));
    ASSERT_EQ(list.GetCount(), 2);
    POSITION position = list.GetHeadPosition();
    const CDataSourceDesc* empty = list.GetNext(position);
    const CDataSourceDesc* loaded = list.GetNext(position);
    EXPECT_EQ(empty->m_strName + empty->m_strAddress, "");
    EXPECT_EQ(flagsOf(*empty), std::vector<int>(12, 0));
    EXPECT_EQ(loaded->m_strName + "|" + loaded->m_strAddress + "|" + loaded->m_strUser,
              "|molb://x/|no terminator");
    EXPECT_EQ(flagsOf(*loaded), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7}));

    // A second load appends; a dead key loads nothing.
    ASSERT_TRUE(list.Load(sources.get()));
    EXPECT_EQ(list.GetCount(), 4);
    HKEY closed = sources.release();
    RegCloseKey(closed);
    EXPECT_FALSE(list.Load(closed));
    EXPECT_EQ(list.GetCount(), 4);
}

// What the panel never passes: null positions, and a null password (none).
TEST(DataSourceList, nullPositionsAndPasswordsAreHarmless)
{
    CDataSourceList list;
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    list.RemoveAt(nullptr);
    POSITION none = nullptr;
    EXPECT_EQ(list.GetNext(none), nullptr);
    CDataSourceDesc source;
    source.SetPasswordAndVersion("pa ss", 1);
    source.SetPasswordAndVersion(nullptr, 1);
    EXPECT_EQ(source.GetPassword(), "");
}

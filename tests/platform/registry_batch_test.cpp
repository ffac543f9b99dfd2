// Batches of settings writes: one commit for all, nothing visible to other processes before it,
// and each call inside still failing on its own.

#include "platform/registry_fixture.h"

#include "platform/registry_batch.h"

using namespace DbscoutTest;
using Dbscout::RegistryBatch;
using Dbscout::RegKey;

TEST_F(RegistryTest, batchCommitsOnceAtTheOutermostEnd)
{
    // How many values the user's settings file holds as another process would read it now.
    auto committed = [file = m_env.file("registry/user.db")] {
        return fileAnswer(file, "SELECT count(*) FROM vals");
    };
    RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Batch");
    put(key.get(), "before", REG_SZ, std::string("x\0", 2));
    ASSERT_EQ(committed(), "1");
    {
        RegistryBatch outer;
        for (int i = 0; i < 20; ++i)
            put(key.get(), ("v" + std::to_string(i)).c_str(), REG_DWORD, std::string(4, char(i)));
        {
            RegistryBatch inner;
            RegKey sub = createKey(key.get(), "Sub");
            put(sub.get(), "w", REG_DWORD, std::string(4, '\1'));
        }
        // This process reads its own writes; nobody else sees any of them yet.
        EXPECT_EQ(value(key.get(), "v19")->data, std::string(4, char(19)));
        EXPECT_EQ(subkeysOf(key.get()), std::vector<std::string>{"Sub"});
        EXPECT_EQ(committed(), "1");
    }
    EXPECT_EQ(committed(), "22");
}

TEST_F(RegistryTest, failedCallInsideABatchTakesBackOnlyItself)
{
    RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Batch");
    RegKey doomed = createKey(key.get(), "Doomed");
    {
        RegistryBatch batch;
        put(key.get(), "kept", REG_SZ, std::string("1\0", 2));
        ASSERT_EQ(RegDeleteKeyA(key.get(), "Doomed"), ERROR_SUCCESS);
        EXPECT_EQ(setValue(doomed.get(), "lost", REG_SZ, std::string("2\0", 2)), ERROR_KEY_DELETED);
        // A key path that does not exist fails as it does outside a batch.
        RegKey missing;
        EXPECT_EQ(missing.open(key.get(), "Nowhere", KEY_READ), ERROR_FILE_NOT_FOUND);
        put(key.get(), "also kept", REG_SZ, std::string("3\0", 2));
    }
    Dbscout::resetRegistryForTests(); // read the file anew
    RegKey reread = createKey(HKEY_CURRENT_USER, "Software\\Batch");
    EXPECT_EQ(valueNamesOf(reread.get()), (std::vector<std::string>{"kept", "also kept"}));
    EXPECT_TRUE(subkeysOf(reread.get()).empty());
}

#pragma once
// One hive of the settings store: a SQLite file holding a tree of keys and their values.
//
// Every call reads the file anew (other processes may change it), runs in one transaction and
// holds the hive's mutex, so a Hive may be used from any thread. Failures come back as Win32
// codes: ERROR_BADDB for a damaged or foreign file, ERROR_CANTREAD/ERROR_CANTWRITE for input and
// output failures, ERROR_ACCESS_DENIED for changes to a hive this process may not write.

#include <dbscout/registry.h>

#include "platform/registry_sqlite.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout {

using KeyId = int64_t;
constexpr KeyId kHiveRoot = 1;
using KeyPath = std::vector<std::string>;

// Names compare without regard to ASCII case: this is the form they are compared in.
std::string foldName(std::string_view name);

struct RegValue
{
    std::string name; // as first written
    DWORD type = REG_NONE;
    std::string data; // exact bytes
};

struct RegValueInfo
{
    std::string name;
    DWORD type = REG_NONE;
    DWORD size = 0;
};

class Hive final
{
public:
    enum class Kind { User, Machine };

    Hive(std::string file, Kind kind);
    Hive(const Hive&) = delete;
    Hive& operator=(const Hive&) = delete;

    const std::string& file() const { return m_file; }

    // ERROR_SUCCESS when this process may change the hive.
    LONG checkWritable();
    // ERROR_SUCCESS while key exists, else ERROR_KEY_DELETED.
    LONG checkKey(KeyId key);

    // Follows path down from "from"; ERROR_FILE_NOT_FOUND when a step is missing.
    LONG findKey(KeyId from, const KeyPath& path, KeyId& key);
    // Creates the missing steps of path below "from"; created tells whether the last one was new.
    LONG createKey(KeyId from, const KeyPath& path, KeyId& key, bool& created);
    // Removes key with its values; with withSubkeys its whole subtree, else only a key without
    // subkeys (ERROR_ACCESS_DENIED otherwise, as for the hive's root).
    LONG deleteKey(KeyId key, bool withSubkeys);
    // Removes every value and subkey of key, keeping key itself.
    LONG clearKey(KeyId key);

    // Subkey names in the order of their folded names.
    LONG subkeyNames(KeyId key, std::vector<std::string>& names);
    // Values in the order they were first written.
    LONG valueList(KeyId key, std::vector<RegValueInfo>& values);
    LONG readValue(KeyId key, std::string_view name, RegValue& value);
    LONG writeValue(KeyId key, std::string_view name, DWORD type, std::string_view data);
    LONG deleteValue(KeyId key, std::string_view name);

    // A batch makes the calls of this thread until endBatch one transaction: one commit instead
    // of one per call, and nothing of them reaches the file unless endBatch commits. Each call
    // inside still succeeds or fails on its own. Other threads wait until the batch ends.
    // Batches nest; only the outermost commits, and only when no batch in it was ended without
    // keep: then all of it is taken back.
    LONG beginBatch();
    LONG endBatch(bool keep = true);

private:
    template <typename Body> LONG run(bool writing, Body body);
    LONG ensureOpen();
    LONG openFile();
    int prepareSchema();
    LONG existing(KeyId key, bool writing);
    LONG deleteDescendants(KeyId key);

    std::recursive_mutex m_mutex;
    SqliteConnection m_db;
    std::unique_ptr<SqliteTransaction> m_batch; // the outermost batch's transaction
    int m_batchDepth = 0;
    bool m_batchAbandoned = false; // a batch in the outermost one was ended without keep
    const std::string m_file;
    const Kind m_kind;
    bool m_readOnly = false;
    bool m_absent = false; // a machine hive whose file does not exist: empty and read-only
};

// The process's hive of that kind, opened at its first use from DBSCOUT_REGISTRY_DIR or the
// standard places.
std::shared_ptr<Hive> hiveOf(Hive::Kind kind);

// Drops the cached hives so that the next use reads DBSCOUT_REGISTRY_DIR again. Keys opened
// before keep their old hive.
void resetRegistryForTests();

} // namespace Dbscout

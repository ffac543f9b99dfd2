#pragma once
// What an open key stands for. Usually one key of one hive, known by its id, so that it answers
// ERROR_KEY_DELETED once that key is gone. Below HKEY_CLASSES_ROOT it is a merged view of
// HKCU\Software\Classes over HKLM\Software\Classes: both keys are found again by path on every
// call (either may come or go meanwhile), reads see the user's names first, and changes go to
// the user's hive only. Keys and values that exist only in the machine's part cannot be deleted
// through the merged view (ERROR_ACCESS_DENIED).
//
// A view never changes after it was made, so one view may serve several threads at once.

#include "platform/registry_store.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Dbscout {

class KeyView final
{
public:
    static KeyView hiveRoot(Hive::Kind kind);
    static KeyView classesRoot();

    REGSAM access() const { return m_access; }
    bool allows(REGSAM rights) const { return (m_access & rights) == rights; }

    // A view of the key at path below this one, opened with access. Asking for a right to
    // change a hive that this process may not write gives ERROR_ACCESS_DENIED.
    LONG openSubkey(const KeyPath& path, REGSAM access, KeyView& out) const;
    LONG createSubkey(const KeyPath& path, REGSAM access, KeyView& out, bool& created) const;
    // Deletes the key at path (this key itself when path is empty).
    LONG deleteSubkey(const KeyPath& path, bool withSubkeys) const;
    // Deletes every value and subkey of this key.
    LONG clear() const;

    LONG subkeyNames(std::vector<std::string>& names) const;
    LONG valueList(std::vector<RegValueInfo>& values) const;
    LONG readValue(std::string_view name, RegValue& value) const;
    LONG writeValue(std::string_view name, DWORD type, std::string_view data) const;
    LONG deleteValue(std::string_view name) const;

private:
    struct Layer
    {
        std::shared_ptr<Hive> hive;
        KeyPath path; // from the hive's root; used by merged views only
        KeyId id = 0;
    };

    // The layers that exist now, the user's first. A plain view answers its own layer.
    LONG present(std::vector<Layer>& layers) const;
    // The layers of the key at path below this one; ERROR_FILE_NOT_FOUND when none has it.
    LONG findBelow(const KeyPath& path, std::vector<Layer>& layers) const;
    bool isUsers(const Layer& layer) const;
    // The user's key of a merged view, created when missing.
    LONG userKey(KeyId& id) const;
    LONG checkAccess(REGSAM access) const;

    std::vector<Layer> m_layers;
    bool m_merged = false;
    REGSAM m_access = KEY_ALL_ACCESS;
};

} // namespace Dbscout

#include "reg_import.h"

#include "platform/registry_batch.h"

#include <memory>
#include <vector>

namespace Dbscout {

namespace {

LONG applyChange(const RegFileChange& change, RegKey& current)
{
    const RegKeyName& key = change.key;
    switch (change.kind) {
    case RegFileChange::Kind::CreateKey:
        return current.create(key.root, key.path.c_str());
    case RegFileChange::Kind::DeleteKey: {
        const LONG result = RegDeleteTreeA(key.root, key.path.c_str());
        return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
    }
    case RegFileChange::Kind::SetValue:
        return RegSetValueExA(current.get(), change.valueName.c_str(), 0, change.type,
                              reinterpret_cast<const BYTE*>(change.data.data()),
                              DWORD(change.data.size()));
    case RegFileChange::Kind::DeleteValue: {
        const LONG result = RegDeleteValueA(current.get(), change.valueName.c_str());
        return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
    }
    }
    return ERROR_INVALID_PARAMETER;
}

bool fail(RegFileError& error, int line, const std::string& message)
{
    error = {line, message};
    return false;
}

} // namespace

bool importRegText(const std::string& text, RegFileError& error)
{
    std::vector<RegFileChange> changes;
    if (!parseRegFile(text, changes, error))
        return false;
    // One batch for each hive the file writes to; the user's comes first, as everywhere.
    bool user = false, machine = false;
    for (const RegFileChange& change : changes)
        (change.key.root == HKEY_LOCAL_MACHINE ? machine : user) = true;
    std::vector<std::unique_ptr<RegistryBatch>> batches;
    for (const auto& [used, root] :
         {std::pair{user, HKEY_CURRENT_USER}, std::pair{machine, HKEY_LOCAL_MACHINE}}) {
        if (!used)
            continue;
        batches.push_back(std::make_unique<RegistryBatch>(root));
        if (const LONG result = batches.back()->beginResult(); result != ERROR_SUCCESS) {
            const char* hive =
                root == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
            return fail(error, 0, std::string(hive) + ": " + regErrorText(result));
        }
    }
    RegKey current;
    for (const RegFileChange& change : changes) {
        const LONG result = applyChange(change, current);
        if (result != ERROR_SUCCESS) {
            for (const auto& batch : batches)
                batch->abandon();
            return fail(error, change.line, change.key.full() + ": " + regErrorText(result));
        }
    }
    current.reset();
    // The batches end in the reverse order of their start. A file that writes both hives is the
    // one case that is not all or nothing: when the machine's part has been committed and the
    // user's commit then fails, the machine's part stays.
    for (auto batch = batches.rbegin(); batch != batches.rend(); ++batch) {
        if (const LONG result = (*batch)->finish(); result != ERROR_SUCCESS) {
            for (const auto& other : batches)
                other->abandon();
            return fail(error, 0, "the changes could not be saved: " + regErrorText(result));
        }
    }
    return true;
}

} // namespace Dbscout

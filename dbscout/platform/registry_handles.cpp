#include "platform/registry_handles.h"

#include <mutex>
#include <unordered_map>

namespace Dbscout {

namespace {

struct HandleTable
{
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<const KeyView>> open;
    // Numbers are never reused, and stay far below the predefined hives.
    uintptr_t next = 0x1000;
};

HandleTable& table()
{
    static HandleTable instance;
    return instance;
}

bool isPredefined(HKEY key)
{
    return key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_CLASSES_ROOT;
}

} // namespace

HKEY addKeyHandle(KeyView view)
{
    auto shared = std::make_shared<const KeyView>(std::move(view));
    HandleTable& handles = table();
    std::lock_guard lock(handles.mutex);
    const uintptr_t number = handles.next;
    handles.next += 4;
    handles.open.emplace(number, std::move(shared));
    return reinterpret_cast<HKEY>(number);
}

std::shared_ptr<const KeyView> findKeyHandle(HKEY key)
{
    // The predefined hives are looked up on each use: the store's folder may change in tests.
    if (key == HKEY_CURRENT_USER)
        return std::make_shared<const KeyView>(KeyView::hiveRoot(Hive::Kind::User));
    if (key == HKEY_LOCAL_MACHINE)
        return std::make_shared<const KeyView>(KeyView::hiveRoot(Hive::Kind::Machine));
    if (key == HKEY_CLASSES_ROOT)
        return std::make_shared<const KeyView>(KeyView::classesRoot());
    HandleTable& handles = table();
    std::lock_guard lock(handles.mutex);
    const auto found = handles.open.find(reinterpret_cast<uintptr_t>(key));
    return found == handles.open.end() ? nullptr : found->second;
}

LONG closeKeyHandle(HKEY key)
{
    if (isPredefined(key))
        return ERROR_SUCCESS;
    std::shared_ptr<const KeyView> closing; // released outside the lock
    HandleTable& handles = table();
    std::lock_guard lock(handles.mutex);
    const auto found = handles.open.find(reinterpret_cast<uintptr_t>(key));
    if (found == handles.open.end())
        return ERROR_INVALID_HANDLE;
    closing = std::move(found->second);
    handles.open.erase(found);
    return ERROR_SUCCESS;
}

} // namespace Dbscout

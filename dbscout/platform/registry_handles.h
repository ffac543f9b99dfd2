#pragma once
// The open keys of the process. An HKEY is a number that names an entry here and is never
// dereferenced, so a stale or made-up handle answers ERROR_INVALID_HANDLE instead of crashing,
// and one thread closing a key cannot pull a view from under a call running on another.

#include "platform/registry_view.h"

#include <memory>

namespace Dbscout {

// Registers view and returns its new handle.
HKEY addKeyHandle(KeyView view);
// The view of an open handle or of a predefined hive; null for anything else.
std::shared_ptr<const KeyView> findKeyHandle(HKEY key);
// ERROR_SUCCESS (predefined hives stay open), or ERROR_INVALID_HANDLE.
LONG closeKeyHandle(HKEY key);

} // namespace Dbscout

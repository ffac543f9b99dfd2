#pragma once
// Groups the settings writes of one moment (the panel's table layouts are dozens of small
// values) into one transaction on the user's settings file: one commit instead of dozens, and
// a process killed half-way leaves the previous settings whole instead of a half-written tree.

#include <memory>

namespace Dbscout {

class Hive;

class RegistryBatch final
{
public:
    RegistryBatch();
    ~RegistryBatch(); // commits
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;

private:
    std::shared_ptr<Hive> m_hive;
};

} // namespace Dbscout

#include "platform/registry_batch.h"

#include "platform/registry_store.h"

namespace Dbscout {

RegistryBatch::RegistryBatch() : m_hive(hiveOf(Hive::Kind::User))
{
    // A batch that cannot begin leaves each write to commit on its own, as without one.
    (void)m_hive->beginBatch();
}

RegistryBatch::~RegistryBatch()
{
    // A failed commit loses the batch as a failed write loses its value; the settings file
    // keeps what it held before.
    (void)m_hive->endBatch();
}

} // namespace Dbscout

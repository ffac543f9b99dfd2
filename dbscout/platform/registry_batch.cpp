#include "platform/registry_batch.h"

#include "platform/registry_store.h"

namespace Dbscout {

RegistryBatch::RegistryBatch(HKEY root)
    : m_hive(hiveOf(root == HKEY_LOCAL_MACHINE ? Hive::Kind::Machine : Hive::Kind::User))
{
    // A batch that cannot begin leaves each write to commit on its own, as without one.
    m_begun = m_hive->beginBatch();
}

RegistryBatch::~RegistryBatch()
{
    // A failed commit loses the batch as a failed write loses its value; the settings file
    // keeps what it held before.
    (void)finish();
}

LONG RegistryBatch::finish()
{
    if (m_finished)
        return ERROR_SUCCESS;
    m_finished = true;
    return m_hive->endBatch(m_keep);
}

} // namespace Dbscout

#pragma once
// Groups the settings writes of one moment (the panel's table layouts are dozens of small
// values; an imported .reg file) into one transaction on one hive's file: one commit instead of
// dozens, and a process killed half-way leaves the previous settings whole instead of a
// half-written tree.

#include <dbscout/registry.h>

#include <memory>

namespace Dbscout {

class Hive;

class RegistryBatch final
{
public:
    // The batch of the hive that writes under root go to: the user's for HKEY_CURRENT_USER and
    // HKEY_CLASSES_ROOT, the machine's for HKEY_LOCAL_MACHINE. The calling thread's writes to
    // that hive join it; other threads wait until it ends.
    explicit RegistryBatch(HKEY root = HKEY_CURRENT_USER);
    ~RegistryBatch(); // finishes
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;

    // ERROR_SUCCESS when the writes are held together (also for a hive this process may only
    // read, whose writes all fail); otherwise each write commits on its own, as without a batch.
    LONG beginResult() const { return m_begun; }
    // Nothing of the batch reaches the file: at its end (the outermost one's, when nested) every
    // write in it is taken back.
    void abandon() { m_keep = false; }
    // Ends the batch now: commits it (when it is the outermost and nothing abandoned it) or
    // takes it back. Returns the commit's result; later calls return ERROR_SUCCESS.
    LONG finish();

private:
    std::shared_ptr<Hive> m_hive;
    LONG m_begun = ERROR_SUCCESS;
    bool m_keep = true;
    bool m_finished = false;
};

} // namespace Dbscout

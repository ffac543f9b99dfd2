#pragma once
// The commands of molb-admin. Each returns the process exit status and reports on standard
// error: 0 done, 1 failed (with a message naming the file, record or argument at fault).

#include "model/store_admin.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Dbscout::Molb {

inline constexpr int kAdminDone = 0;
inline constexpr int kAdminFailed = 1;
inline constexpr int kAdminUsage = 2;

int adminInit(const std::string& database);
int adminImport(const std::string& database, const std::string& subset, const std::string& owner,
                const std::vector<std::string>& files);
// Reads the password from standard input (its first line).
int adminAddUser(const std::string& database, const std::string& name,
                 const std::vector<std::string>& groups);
int adminAddSubset(const std::string& database, const std::string& name, const std::string& mode,
                   const std::string& owner, const std::string& kind,
                   const std::vector<std::string>& ids);
int adminGenerate(const std::string& database, long long count, const std::string& kind);

// What chmod and chown change: the object with id object, or else the subset named subset (of
// kind, which may be empty when the name belongs to one kind only).
struct AdminTarget
{
    std::string object;
    std::string subset;
    std::string kind;
};
int adminChmod(const std::string& database, const AdminTarget& target, const std::string& mode);
// owner is USER, USER:GROUP or :GROUP.
int adminChown(const std::string& database, const AdminTarget& target, const std::string& owner);
int adminLink(const std::string& database, const std::string& parent, const std::string& child);
// Makes the protein translation of every CDS of a nucleotide record, as its descendants.
int adminTranslate(const std::string& database, const std::string& id);
// Prints the object's revisions, oldest first, with their comments.
int adminLog(const std::string& database, const std::string& id);

// "molb-admin: " and the message, on standard error.
void adminError(const std::string& message);
// Helpers of the commands.
bool openExisting(const std::string& database, std::unique_ptr<StoreBackEnd>& store);
int report(const Status& status);
// A positive decimal object id; false (and a message) otherwise.
bool parseAdminId(const std::string& text, std::int64_t& id);

} // namespace Dbscout::Molb

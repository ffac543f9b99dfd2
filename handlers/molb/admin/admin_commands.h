#pragma once
// The commands of molb-admin. Each returns the process exit status and reports on standard
// error: 0 done, 1 failed (with a message naming the file, record or argument at fault).

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

// "molb-admin: " and the message, on standard error.
void adminError(const std::string& message);

} // namespace Dbscout::Molb

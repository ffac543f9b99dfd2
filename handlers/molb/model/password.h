#pragma once
// Salted password hashes (yescrypt through libcrypt).

#include "model/shared_names.h"

#include <string>

namespace Dbscout::Molb {

// Hashes password with a fresh random salt.
Status hashPassword(const std::string& password, std::string& hash);
// True when password matches hash; a malformed hash never matches.
bool verifyPassword(const std::string& password, const std::string& hash);
// The one answer to an unknown user or a wrong password: it does not say which.
Status wrongUserOrPassword();

} // namespace Dbscout::Molb

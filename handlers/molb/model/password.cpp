#include "model/password.h"

#include <crypt.h>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace Dbscout::Molb {
namespace {

// Compares without stopping at the first difference, so the time taken says nothing about how
// much of a hash matched.
bool sameText(const char* a, const char* b)
{
    const size_t lengthA = std::strlen(a);
    const size_t lengthB = std::strlen(b);
    unsigned char difference = lengthA != lengthB;
    for (size_t i = 0; i < lengthA && i < lengthB; ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

} // namespace

Status hashPassword(const std::string& password, std::string& hash)
{
    if (password.find('\0') != std::string::npos)
        return Status::fail(ErrorCode::BadRequest, "The password contains a NUL byte.");
    std::unique_ptr<char, decltype(&std::free)> salt(crypt_gensalt_ra("$y$", 0, nullptr, 0),
                                                     &std::free);
    if (!salt)
        return Status::fail(ErrorCode::Failure, "Cannot make a password salt.");
    auto data = std::make_unique<crypt_data>();
    const char* result = crypt_r(password.c_str(), salt.get(), data.get());
    if (!result || result[0] == '*')
        return Status::fail(ErrorCode::Failure, "Cannot hash the password.");
    hash = result;
    return Status::pass();
}

bool verifyPassword(const std::string& password, const std::string& hash)
{
    if (hash.empty() || password.find('\0') != std::string::npos)
        return false;
    auto data = std::make_unique<crypt_data>();
    const char* result = crypt_r(password.c_str(), hash.c_str(), data.get());
    return result && result[0] != '*' && sameText(result, hash.c_str());
}

Status wrongUserOrPassword()
{
    return Status::fail(ErrorCode::Denied, "Wrong user name or password.");
}

} // namespace Dbscout::Molb

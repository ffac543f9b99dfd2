#include "ebi_listing.h"

#include "percent_encoding.h"

namespace Dbscout::Ebi {

Status searchFailure(const Status& status)
{
    return status.code() == Handlers::ErrorCode::NotFound
               ? Status::fail(Handlers::ErrorCode::Failure, status.message())
               : status;
}

std::string encoded(std::string_view text)
{
    return Handlers::percentEncode(text, "-_.~");
}

} // namespace Dbscout::Ebi

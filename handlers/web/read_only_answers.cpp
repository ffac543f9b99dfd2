#include "read_only_answers.h"

namespace Dbscout::Web {

int exitStatusOf(const Status& status)
{
    return status.code() == Handlers::ErrorCode::BadRequest ||
                   status.code() == Handlers::ErrorCode::NotFound
               ? kExitRefused
               : kExitFailed;
}

Status refusal(std::string message)
{
    return Status::fail(Handlers::ErrorCode::BadRequest, std::move(message));
}

std::string listedNames(const std::vector<std::string>& ids)
{
    constexpr size_t kNamed = 10;
    std::string text;
    for (size_t i = 0; i < ids.size() && i < kNamed; ++i)
        text += (i ? ", " : "") + ids[i];
    return ids.size() > kNamed ? text + " and " + std::to_string(ids.size() - kNamed) + " more"
                               : text;
}

} // namespace Dbscout::Web

#include "request_parameters.h"

#include "percent_decoding.h"

#include <charconv>

namespace Dbscout::Handlers {
namespace {

Status bad(std::string message)
{
    return Status::fail(ErrorCode::BadRequest, std::move(message));
}

} // namespace

bool isListingParameter(std::string_view name)
{
    return name == "start" || name == "page" || name == "query";
}

Status takeListingParameter(std::string_view name, std::string_view value,
                            ListingParameters& listing, PageLimit limit)
{
    if (name == "query") {
        std::string decoded;
        Status status = decodeParameter(name, value, decoded);
        if (!status.ok())
            return status;
        if (decoded.size() > limit.queryBytes)
            return bad("The query is longer than " + std::to_string(limit.queryBytes) + " bytes.");
        listing.query = std::move(decoded);
        return Status::pass();
    }
    listing.pagingGiven = true;
    std::int64_t number = 0;
    if (!parseWhole(value, number))
        return bad("The " + std::string(name) + "= parameter must be a whole number.");
    if (name == "start") {
        listing.start = number;
        return Status::pass();
    }
    if (number < 1 || number > limit.most)
        return bad("The page= parameter must be between 1 and " + std::to_string(limit.most) +
                   std::string(limit.where) + ".");
    listing.pageSize = static_cast<int>(number);
    return Status::pass();
}

bool parseWhole(std::string_view text, std::int64_t& value)
{
    if (text.empty() || text.size() > 18)
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

Status decodeParameter(std::string_view name, std::string_view raw, std::string& out)
{
    if (!percentDecode(raw, out))
        return bad("The " + std::string(name) + "= parameter holds a malformed percent escape.");
    if (out.find('\0') != std::string::npos)
        return bad("The " + std::string(name) + "= parameter contains a NUL byte.");
    return Status::pass();
}

bool ParameterReader::next(Parameter& parameter)
{
    while (!m_rest.empty()) {
        const size_t amp = m_rest.find('&');
        const std::string_view pair = m_rest.substr(0, amp);
        m_rest = amp == std::string_view::npos ? std::string_view() : m_rest.substr(amp + 1);
        if (pair.empty())
            continue;
        const size_t equals = pair.find('=');
        parameter.name = pair.substr(0, equals);
        parameter.hasValue = equals != std::string_view::npos;
        parameter.value = parameter.hasValue ? pair.substr(equals + 1) : std::string_view();
        return true;
    }
    return false;
}

} // namespace Dbscout::Handlers

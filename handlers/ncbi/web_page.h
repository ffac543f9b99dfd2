#pragma once
// A web server's page where data was asked for: under load or when it blocks a caller, a web
// service may answer HTTP 200 with an HTML page (often behind an XML declaration) instead of
// its XML or text. Such an answer is never data.

#include <optional>
#include <string>
#include <string_view>

namespace Dbscout::Ncbi {

// When bytes are a web page: how to name it to the user, "a web page titled "..."" (or "a web
// page" without a title). Nothing when they are not one.
std::optional<std::string> webPage(std::string_view bytes);

} // namespace Dbscout::Ncbi

#pragma once
// Reading a Link header (RFC 8288), where a paged web service names the next page of an answer:
//     Link: <https://rest.uniprot.org/uniprotkb/search?query=insulin&cursor=1mkyc&size=500>;
//     rel="next"
// The header comes from the network and is not trusted: any bytes end in a target or none.

#include <optional>
#include <string>
#include <string_view>

namespace Dbscout::Web {

// The target of the first link whose rel names relation (letter case aside; rel may name several,
// blank-separated), or nothing. Links are separated by commas outside "<...>" and quotes; a link
// that does not read is passed over.
std::optional<std::string> linkTarget(std::string_view value, std::string_view relation);

} // namespace Dbscout::Web

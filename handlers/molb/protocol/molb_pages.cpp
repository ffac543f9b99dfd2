#include "protocol/molb_pages.h"

namespace Dbscout::Molb {

std::string resultPage(const ResultPageContent& content)
{
    Handlers::ResultPageWriter writer(kMolbPages, kindKeyword(content.kind),
                                      content.listing.rows.size());
    std::vector<std::string_view> names;
    names.reserve(content.subsets.size());
    for (const SubsetInfo& subset : content.subsets)
        names.push_back(subset.name);
    writer.directory(names);
    std::vector<std::string_view> headers;
    for (const KindColumn& column : kindColumns(content.kind))
        headers.push_back(column.header);
    writer.table(content.caption.name, content.caption.mode, headers);
    for (const ObjectRow& row : content.listing.rows) {
        writer.row(
            {row.id, row.meta[Field::Name], accessText(row.right), row.checkoutBy, row.mode});
        for (const KindColumn& column : kindColumns(content.kind).subspan(1)) {
            const std::string& value = row.meta[column.field];
            writer.cell(isTimeField(column.field) ? displayTime(value) : value);
        }
    }
    return writer.finish(content.listing.found, content.pageSize,
                         content.listing.rows.empty() ? 0 : content.start + 1);
}

std::string statusPage(const char* status, const std::string& linkText, const std::string& href,
                       const std::vector<std::string>& remarks)
{
    return Handlers::statusPage(kMolbPages, status, linkText, href, remarks);
}

std::string errorPage(const std::string& message)
{
    return Handlers::errorPage(kMolbPages, message);
}

} // namespace Dbscout::Molb

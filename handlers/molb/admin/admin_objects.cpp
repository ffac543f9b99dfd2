// molb-admin chmod, chown, link, translate and log.

#include "admin/admin_commands.h"

#include "derive/derivation.h"

#include <algorithm>
#include <cstdio>

namespace Dbscout::Molb {
namespace {

int changeOwnership(const std::string& database, const AdminTarget& target, const Ownership& change)
{
    std::int64_t id = 0;
    if (target.subset.empty() && !parseAdminId(target.object, id))
        return kAdminFailed;
    std::optional<Kind> kind;
    if (!target.kind.empty() && !(kind = kindFromKeyword(target.kind)))
        return report(Status::fail(ErrorCode::BadRequest, "Unknown kind \"" + target.kind + "\"."));
    std::unique_ptr<StoreBackEnd> store;
    if (!openExisting(database, store))
        return kAdminFailed;
    return report(target.subset.empty() ? store->setObjectOwnership(id, change)
                                        : store->setSubsetOwnership(kind, target.subset, change));
}

// The store of an administrator's command about the object id.
bool openForObject(const std::string& database, const std::string& id, std::int64_t& object,
                   std::unique_ptr<StoreBackEnd>& store)
{
    return parseAdminId(id, object) && openExisting(database, store);
}

// "2024-05-02 14:31:07 UTC"
std::string utcTime(std::time_t time)
{
    std::tm parts = {};
    gmtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
    return text;
}

} // namespace

int adminChmod(const std::string& database, const AdminTarget& target, const std::string& mode)
{
    Ownership change;
    change.mode = mode;
    return changeOwnership(database, target, change);
}

int adminChown(const std::string& database, const AdminTarget& target, const std::string& owner)
{
    Ownership change;
    const size_t colon = owner.find(':');
    if (colon != 0)
        change.owner = owner.substr(0, colon);
    if (colon != std::string::npos)
        change.group = owner.substr(colon + 1);
    if (change.owner && change.owner->empty())
        return report(Status::fail(ErrorCode::BadRequest, "Give the new owner as USER, "
                                                          "USER:GROUP or :GROUP."));
    return changeOwnership(database, target, change);
}

int adminLink(const std::string& database, const std::string& parent, const std::string& child)
{
    std::int64_t parentId = 0;
    std::int64_t childId = 0;
    std::unique_ptr<StoreBackEnd> store;
    if (!parseAdminId(child, childId) || !openForObject(database, parent, parentId, store))
        return kAdminFailed;
    return report(store->addLink(parentId, childId, {}));
}

int adminTranslate(const std::string& database, const std::string& id)
{
    std::int64_t parent = 0;
    std::unique_ptr<StoreBackEnd> store;
    if (!openForObject(database, id, parent, store))
        return kAdminFailed;
    std::string name;
    std::string bytes;
    FetchRequest fetch;
    fetch.ref.text = id;
    Status status = store->objectName(parent, name);
    if (status.ok())
        status = store->fetchObject(adminSession(), fetch, [&bytes](const char* data, size_t size) {
            bytes.append(data, size);
            return true;
        });
    std::vector<DerivedObject> derived;
    std::vector<std::string> remarks;
    if (status.ok())
        status = translationsOf(name, bytes, derived, remarks);
    // A CDS that cannot be translated is named with why; the others are still made.
    for (const std::string& remark : remarks)
        adminError(name + ": not translated: " + remark);
    std::vector<std::int64_t> ids;
    if (status.ok())
        status = store->addDerived(parent, derived, ids);
    for (size_t i = 0; status.ok() && i < ids.size(); ++i)
        std::printf("%lld %s\n", static_cast<long long>(ids[i]),
                    derived[i].object.meta[Field::Name].c_str());
    return report(status);
}

int adminLog(const std::string& database, const std::string& id)
{
    std::int64_t object = 0;
    std::unique_ptr<StoreBackEnd> store;
    if (!openForObject(database, id, object, store))
        return kAdminFailed;
    std::vector<RevisionInfo> revisions;
    if (Status status = store->revisionLog(object, revisions); !status.ok())
        return report(status);
    // One header line per revision; the comment's lines follow, each indented by four blanks, so
    // no comment can pass for a header.
    for (const RevisionInfo& revision : revisions) {
        // The archive name, where there is one, ends the header (control characters as "?",
        // so that it stays one line): where a copy came from.
        std::string arcname = revision.arcname.empty() ? std::string() : "\t" + revision.arcname;
        std::replace_if(
            arcname.begin() + (arcname.empty() ? 0 : 1), arcname.end(),
            [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }, '?');
        std::printf("revision %d\t%s\t%s\t%lld bytes%s\n", revision.revision,
                    utcTime(revision.created).c_str(), revision.author.c_str(),
                    static_cast<long long>(revision.size), arcname.c_str());
        const std::string& comment = revision.comment;
        for (size_t begin = 0; !comment.empty() && begin <= comment.size();) {
            const size_t end = std::min(comment.find('\n', begin), comment.size());
            std::fwrite("    ", 1, 4, stdout);
            std::fwrite(comment.data() + begin, 1, end - begin, stdout);
            std::fputc('\n', stdout);
            begin = end + 1;
        }
    }
    return kAdminDone;
}

} // namespace Dbscout::Molb

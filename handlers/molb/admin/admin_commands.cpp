#include "admin/admin_commands.h"

#include "admin/admin_store.h"
#include "import/importer.h"
#include "protocol/request_url.h"
#include "test_hooks/test_pause.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <iostream>
#include <new>

namespace Dbscout::Molb {
namespace {

std::string baseName(const std::string& path)
{
    std::string name = path.substr(path.find_last_of('/') + 1);
    for (const char* suffix : {".gz", ".bgz", ".xml"}) {
        const std::string_view end = suffix;
        if (name.size() > end.size() && name.ends_with(end))
            name.resize(name.size() - end.size());
    }
    return name;
}

// Imports one file in one transaction; returns false when any record was refused.
bool importRecords(StoreBackEnd& store, const std::string& path, const std::string& subset,
                   const std::string& owner)
{
    std::string bytes;
    Status status = readRecordFile(path, bytes);
    RecordFile file;
    if (status.ok())
        status = readRecords(bytes, baseName(path), file);
    if (!status.ok()) {
        adminError(path + ": " + status.message());
        return false;
    }
    pauseForTest("import");
    std::vector<Status> results;
    if (status = store.importObjects(file.objects, subset, owner, results); !status.ok()) {
        adminError(path + ": nothing stored: " + status.message());
        return false;
    }
    size_t stored = 0;
    for (size_t i = 0; i < results.size(); ++i) {
        if (results[i].ok())
            ++stored;
        else
            file.problems.push_back(RecordProblem{file.objectNumbers[i], results[i].message()});
    }
    for (const RecordProblem& problem : file.problems)
        adminError(path + ": record " + std::to_string(problem.number) + ": " + problem.message +
                   "; it was not stored.");
    std::printf("%s: %zu %s record(s) stored\n", path.c_str(), stored,
                Records::formatName(file.format));
    return file.problems.empty();
}

// As importRecords, but a fault that throws (or a file too big for memory) costs only its own
// file, with a message, and the other files are still imported.
bool importFile(StoreBackEnd& store, const std::string& path, const std::string& subset,
                const std::string& owner)
{
    std::string message;
    try {
        return importRecords(store, path, subset, owner);
    } catch (const std::bad_alloc&) {
        message = "reading it needs more memory than there is";
    } catch (const std::exception& error) {
        message = error.what();
    }
    adminError(path + ": nothing stored: " + message);
    return false;
}

} // namespace

void adminError(const std::string& message)
{
    std::fprintf(stderr, "molb-admin: %s\n", message.c_str());
}

bool openExisting(const std::string& database, std::unique_ptr<StoreBackEnd>& store)
{
    Status status = openAdminStore(database, OpenMode::Existing, store);
    if (!status.ok())
        adminError(status.message());
    return status.ok();
}

int report(const Status& status)
{
    if (status.ok())
        return kAdminDone;
    adminError(status.message());
    return kAdminFailed;
}

bool parseAdminId(const std::string& text, std::int64_t& id)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error == std::errc() && end == text.data() + text.size() && id > 0)
        return true;
    adminError("\"" + text + "\" is not an object id.");
    return false;
}

int adminInit(const std::string& database)
{
    std::unique_ptr<StoreBackEnd> store;
    std::string where;
    Status status = openAdminStore(database, OpenMode::Create, store, &where);
    if (status.ok())
        std::printf("created %s\n", where.c_str());
    return report(status);
}

int adminImport(const std::string& database, const std::string& subset, const std::string& owner,
                const std::vector<std::string>& files)
{
    std::unique_ptr<StoreBackEnd> store;
    if (!openExisting(database, store))
        return kAdminFailed;
    bool allStored = true;
    for (const std::string& path : files)
        allStored = importFile(*store, path, subset, owner) && allStored;
    return allStored ? kAdminDone : kAdminFailed;
}

int adminAddUser(const std::string& database, const std::string& name,
                 const std::vector<std::string>& groups)
{
    if (name.empty())
        return report(Status::fail(ErrorCode::BadRequest, "A user needs a name."));
    std::string password;
    if (!std::getline(std::cin, password) || password.empty())
        return report(Status::fail(ErrorCode::BadRequest,
                                   "Give the password on the first line of standard input."));
    std::unique_ptr<StoreBackEnd> store;
    if (!openExisting(database, store))
        return kAdminFailed;
    std::string hash;
    Status status = store->passwordRecord(name, password, hash);
    if (status.ok())
        status = store->addUser(name, hash, groups);
    return report(status);
}

int adminAddSubset(const std::string& database, const std::string& name, const std::string& mode,
                   const std::string& owner, const std::string& kindName,
                   const std::vector<std::string>& ids)
{
    std::vector<std::int64_t> numbers;
    for (const std::string& id : ids) {
        std::int64_t number = 0;
        if (!parseAdminId(id, number))
            return kAdminFailed;
        numbers.push_back(number);
    }
    std::unique_ptr<StoreBackEnd> store;
    if (!openExisting(database, store))
        return kAdminFailed;
    std::optional<Kind> kind;
    if (!kindName.empty() && !(kind = kindFromKeyword(kindName)))
        return report(Status::fail(ErrorCode::BadRequest, "Unknown kind \"" + kindName + "\"."));
    if (!kind && !numbers.empty()) {
        Kind first = Kind::DnaRna;
        if (Status status = store->objectKind(numbers.front(), first); !status.ok())
            return report(status);
        kind = first;
    }
    if (!kind)
        return report(Status::fail(ErrorCode::BadRequest,
                                   "Give --kind or at least one object id for the subset."));
    const SubsetInfo subset{name, owner, {}, mode.empty() ? kDefaultMode : mode};
    return report(store->addSubset(*kind, subset, numbers));
}

} // namespace Dbscout::Molb

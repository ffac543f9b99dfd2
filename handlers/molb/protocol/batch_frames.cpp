#include "protocol/batch_frames.h"

#include "protocol/request_url.h"

#include <cstdint>

namespace Dbscout::Molb {
namespace {

// A header longer than this cannot be one: a name and an archive name of 1024 bytes each, a
// comment of 4096, all escaped at most threefold.
constexpr size_t kMaxHeaderBytes = 3 * (2 * kMaxNameBytes + kMaxCommentBytes) + 256;

Status bad(size_t number, const std::string& what)
{
    return Status::fail(ErrorCode::BadRequest, "The batch is malformed at object " +
                                                   std::to_string(number) + ": " + what +
                                                   " Nothing was stored.");
}

// The parameters a header may carry: those of one object; the rest of a save is the URL's.
bool headerParametersKnown(std::string_view query)
{
    Handlers::ParameterReader reader(query);
    for (Handlers::Parameter parameter; reader.next(parameter);) {
        if (parameter.name != "arcname" && parameter.name != "comment" &&
            !(parameter.name == "force" && parameter.value == "yes"))
            return false;
    }
    return true;
}

Status parseHeader(size_t number, std::string_view header, BatchObject& object)
{
    const size_t question = header.find('?');
    if (!headerParametersKnown(question == std::string_view::npos ? std::string_view()
                                                                  : header.substr(question + 1)))
        return bad(number, "a header may hold only arcname=, comment= and force=yes.");
    // Read as the tail of a save's URL, so that each object follows a single save's rules.
    RequestUrl url;
    if (Status status = parseRequestUrl("molb://local/batch/" + std::string(header), url);
        !status.ok())
        return bad(number, status.message());
    if (!url.kind)
        return bad(number, "the header does not start with an object kind and \"/\".");
    object.kind = *url.kind;
    object.name = std::move(url.last);
    object.arcname = std::move(url.arcname);
    object.comment = std::move(url.comment);
    object.force = url.force;
    return Status::pass();
}

} // namespace

Status parseBatchFrames(std::string_view input, std::vector<BatchObject>& objects)
{
    objects.clear();
    if (!input.starts_with(kBatchFirstLine)) {
        return Status::fail(ErrorCode::BadRequest,
                            "A batch save's input must start with the line \"molb-batch 1\". "
                            "Nothing was stored.");
    }
    input.remove_prefix(kBatchFirstLine.size());
    std::vector<BatchObject> read;
    while (!input.empty()) {
        const size_t number = read.size() + 1;
        if (number > kMaxBatchObjects)
            return bad(number,
                       "a batch holds at most " + std::to_string(kMaxBatchObjects) + " objects.");
        const size_t lineEnd = input.find('\n');
        if (lineEnd == std::string_view::npos || lineEnd > kMaxHeaderBytes)
            return bad(number, "its header does not end in a line break.");
        const std::string_view line = input.substr(0, lineEnd);
        const size_t blank = line.find(' ');
        std::int64_t size = 0;
        if (blank == std::string_view::npos || !Handlers::parseWhole(line.substr(0, blank), size))
            return bad(number, "its header does not start with the size in bytes and a blank.");
        BatchObject& object = read.emplace_back();
        if (Status status = parseHeader(number, line.substr(blank + 1), object); !status.ok())
            return status;
        input.remove_prefix(lineEnd + 1);
        if (static_cast<std::uint64_t>(size) >= input.size() || input[size_t(size)] != '\n')
            return bad(number, "the input ends before its " + std::to_string(size) +
                                   " bytes and the line break after them.");
        object.bytes = input.substr(0, size_t(size));
        input.remove_prefix(size_t(size) + 1);
    }
    if (read.empty())
        return Status::fail(ErrorCode::BadRequest, "The batch holds no object to save.");
    objects = std::move(read);
    return Status::pass();
}

} // namespace Dbscout::Molb

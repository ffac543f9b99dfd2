// The frames of a batch save on any input bytes: a batch it takes holds at least one and at most
// the allowed number of objects, each object's bytes lie in the input in order and leave room
// for the headers, and nothing it decoded holds a NUL byte; a batch it refuses gets a short
// message and no object.

#include "fuzz_check.h"
#include "protocol/batch_frames.h"

#include <cstdint>
#include <string>

using namespace Dbscout::Molb;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<BatchObject> objects;
    const Status status = parseBatchFrames(input, objects);
    if (!status.ok()) {
        FUZZ_CHECK(status.code() == ErrorCode::BadRequest);
        FUZZ_CHECK(!status.message().empty() && status.message().size() <= 512);
        FUZZ_CHECK(objects.empty());
        return 0;
    }
    FUZZ_CHECK(!objects.empty() && objects.size() <= kMaxBatchObjects);
    const char* after = input.data() + kBatchFirstLine.size();
    for (const BatchObject& object : objects) {
        // Each object's bytes follow its header and end in a line break of the input.
        FUZZ_CHECK(object.bytes.data() > after);
        FUZZ_CHECK(object.bytes.data() + object.bytes.size() < input.data() + input.size());
        FUZZ_CHECK(object.bytes.data()[object.bytes.size()] == '\n');
        after = object.bytes.data() + object.bytes.size();
        for (const std::string* text : {&object.name, &object.arcname, &object.comment})
            FUZZ_CHECK(text->find('\0') == std::string::npos);
    }
    FUZZ_CHECK(after + 1 == input.data() + input.size());
    return 0;
}

// The .reg reader on any file text: a file it accepts asks only for changes to keys and values
// whose names are UTF-8 text without NUL bytes or empty steps; a file it refuses gets a message
// naming a line of the file.

#include "fuzz_check.h"
#include "platform/utf8_sequence.h"
#include "reg_file_reader.h"

#include <algorithm>
#include <cstdint>
#include <string>

using namespace Dbscout;

namespace {

bool isText(const std::string& text)
{
    return text.find('\0') == std::string::npos && isValidUtf8(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<RegFileChange> changes;
    RegFileError error;
    if (!parseRegFile(text, changes, error)) {
        const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
        FUZZ_CHECK(error.line >= 1 && error.line <= lines && !error.message.empty());
        return 0;
    }
    int previous = 1; // the header
    for (const RegFileChange& change : changes) {
        FUZZ_CHECK(change.line > previous);
        previous = change.line;
        const std::string& path = change.key.path;
        FUZZ_CHECK(change.key.root != nullptr && isText(path));
        FUZZ_CHECK(path.find("\\\\") == std::string::npos && !path.starts_with('\\') &&
                   !path.ends_with('\\'));
        FUZZ_CHECK(change.kind != RegFileChange::Kind::DeleteKey || !path.empty());
        FUZZ_CHECK(isText(change.valueName));
    }
    return 0;
}

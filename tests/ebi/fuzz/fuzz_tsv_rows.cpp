// libFuzzer entry point for the services' tab-separated rows: any bytes end in a table of the
// width asked for or a message naming what came instead, never a crash or hang. Seeds: corpus.

#include "ebi_answers.h"
#include "fuzz_check.h"
#include "utf8.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (size_t columns : {1, 2, 6}) {
        Dbscout::Ebi::TsvTable table;
        const Dbscout::Handlers::Status status = Dbscout::Ebi::readTsv(bytes, columns, table);
        FUZZ_CHECK(status.ok() || (!status.message().empty() && status.message().size() < 300));
        if (!status.ok())
            continue;
        FUZZ_CHECK(table.rows.empty() || table.header.size() == columns);
        for (const auto& row : table.rows) {
            FUZZ_CHECK(row.size() == columns);
            for (const std::string& cell : row)
                FUZZ_CHECK(Dbscout::Handlers::isValidUtf8(cell) && cell.size() <= size * 3);
        }
    }
    return 0;
}

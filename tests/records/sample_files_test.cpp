// Every record of Debian's public sample files: read without a fault but for the two records
// their makers broke on purpose, each record where its start line stands, and written back to
// text that reads again to the same record.

#include "records/records.h"
#include "sample_files.h"

#include <gtest/gtest.h>

#include <map>

using namespace Dbscout::Records;
using namespace RecordsTest;

namespace {

TEST(SampleFiles, everyRecordReadsAndWritesBack)
{
    // Samples of broken records, kept to test other readers' warnings, and why ours refuse them.
    const std::map<std::string, std::string> broken = {
        {"negative_location.gb.gz",
         "line 15: CDS: the location \"complement(-2..492)\" cannot be read from \"-2..492)\""},
        {"qualifier_escaping_read.gb", "line 27: \" here\"\" follows the closing quote of /note"},
    };
    size_t files = 0;
    size_t records = 0;
    for (const SampleFile& file : sampleFiles()) {
        const std::string text = sampleText(file.path);
        RecordText read;
        ASSERT_TRUE(readRecords(text, read).ok()) << file.path;
        EXPECT_EQ(read.entries.size(), countLinesStarting(text, file.recordStart)) << file.path;
        const std::string name = file.path.substr(file.path.rfind('/') + 1);
        for (const ReadEntry& entry : read.entries) {
            if (!entry.outcome.ok()) {
                EXPECT_EQ(entry.outcome.text(), broken.count(name) ? broken.at(name) : "")
                    << file.path;
                continue;
            }
            if (!file.recordStart.empty())
                EXPECT_TRUE(text.substr(entry.place.offset).starts_with(file.recordStart));
            const std::string written = writeRecord(entry.record);
            Record again;
            const Outcome reread = readRecord(entry.record.format, written, again);
            EXPECT_TRUE(reread.ok() && again == entry.record)
                << file.path << ": " << entry.record.name << ": " << reread.text();
            ++records;
        }
        ++files;
    }
    EXPECT_GT(files, 100u);
    EXPECT_GT(records, 700u);
}

} // namespace

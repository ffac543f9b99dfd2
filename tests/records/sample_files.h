#pragma once
// The public record files Debian ships (emboss-test, python-biopython-doc) that the record
// readers, the importer and the example host are tested on: every file of the formats they
// read, but for the ones their makers broke on purpose.

#include <string>
#include <vector>

namespace RecordsTest {

struct SampleFile
{
    std::string path;
    std::string recordStart; // the line that opens each record; empty: one record per file
};

// Fails the running test when a folder is missing.
std::vector<SampleFile> sampleFiles();

// The file's text, inflated when it is gzip-compressed.
std::string sampleText(const std::string& path);

// How many lines of text start with start (one record when start is empty).
size_t countLinesStarting(const std::string& text, const std::string& start);

} // namespace RecordsTest

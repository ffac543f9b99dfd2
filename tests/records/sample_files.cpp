#include "sample_files.h"

#include "import/importer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace RecordsTest {
namespace {

const std::string kEmboss = "/usr/share/EMBOSS/test";
const std::string kBiopython = "/usr/share/doc/python-biopython-doc";

struct Source
{
    std::string folder;
    std::regex names; // of the files to read; the deliberately broken bad_* and invalid_* never
    std::string recordStart;
};

} // namespace

std::vector<SampleFile> sampleFiles()
{
    const Source sources[] = {
        {kEmboss + "/genbank", std::regex(R"(.*\.seq)"), "LOCUS "},
        {kEmboss + "/swiss", std::regex(R"(seq\.dat)"), "ID   "},
        {kEmboss + "/embl", std::regex(R"(.*\.dat)"), "ID   "},
        {kBiopython + "/Tests/GenBank",
         std::regex(R"(.*\.(gbk?(\.gz)?|(gp|bgz|gbwithparts|seq)\.gz))"), "LOCUS "},
        {kBiopython + "/Tests/GenBank", std::regex(R"(.*\.(faa|(faa|fna|ffn)\.gz))"), ">"},
        {kBiopython + "/Tests/EMBL", std::regex(R"(.*\.(embl|imgt)(\.gz)?)"), "ID   "},
        {kBiopython + "/Tests/SwissProt", std::regex(R"((?!keywlist).*\.txt(\.gz)?|sp0.*)"),
         "ID   "},
        {kBiopython + "/Tests/Medline", std::regex(".*"), "PMID- "},
        {kBiopython + "/Tests/Blast", std::regex(R"((xml|mock)_.*\.xml(\.gz)?)"), ""},
        {kBiopython + "/Doc/examples", std::regex(R"(.*\.gbk(\.bgz)?\.gz)"), "LOCUS "},
        {kBiopython + "/Doc/examples", std::regex(R"(.*\.(faa|fasta(\.gz)?))"), ">"},
        {kBiopython + "/Doc/examples", std::regex(R"(my_blast\.xml\.gz)"), ""},
    };
    const std::regex broken("(bad|invalid)_.*");
    std::vector<SampleFile> files;
    for (const Source& source : sources) {
        EXPECT_TRUE(std::filesystem::is_directory(source.folder))
            << source.folder << " is missing: install emboss-test and python-biopython-doc";
        std::vector<std::string> paths;
        for (const auto& entry : std::filesystem::directory_iterator(source.folder)) {
            const std::string name = entry.path().filename().string();
            if (entry.is_regular_file() && std::regex_match(name, source.names) &&
                !std::regex_match(name, broken))
                paths.push_back(entry.path().string());
        }
        std::sort(paths.begin(), paths.end());
        for (const std::string& path : paths)
            files.push_back({path, source.recordStart});
    }
    return files;
}

std::string sampleText(const std::string& path)
{
    std::string bytes;
    const Dbscout::Molb::Status status = Dbscout::Molb::readRecordFile(path, bytes);
    EXPECT_TRUE(status.ok()) << status.message();
    return bytes;
}

size_t countLinesStarting(const std::string& text, const std::string& start)
{
    if (start.empty())
        return 1;
    size_t count = text.starts_with(start) ? 1 : 0;
    for (size_t at = text.find("\n" + start); at != std::string::npos;
         at = text.find("\n" + start, at + 1))
        ++count;
    return count;
}

} // namespace RecordsTest

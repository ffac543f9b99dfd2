// molb-admin generate: many plausible objects quickly, for benchmarks.

#include "admin/admin_commands.h"

#include "admin/admin_store.h"

#include <cstdint>
#include <cstdio>

namespace Dbscout::Molb {
namespace {

constexpr long long kBatch = 100000;

// Search words: every pairing of a stem and an ending, 200 words, each in about 1.5 % of the
// descriptions (three words per description).
constexpr const char* kStems[] = {"amyl",   "brom", "cyt",   "dehydr", "elong", "ferr",  "glut",
                                  "hist",   "isom", "kin",   "lact",   "myo",   "nucle", "oxid",
                                  "phosph", "ribo", "synth", "transl", "ubiq",  "xyl"};
constexpr const char* kEndings[] = {"ase", "in",   "ogen", "omer", "ide",
                                    "ate", "osin", "ulin", "ene",  "oid"};
constexpr int kWordCount = std::size(kStems) * std::size(kEndings);
constexpr const char* kOrganisms[] = {"Homo sapiens",         "Mus musculus",
                                      "Escherichia coli",     "Saccharomyces cerevisiae",
                                      "Arabidopsis thaliana", "Drosophila melanogaster",
                                      "Danio rerio",          "Bacillus subtilis"};

// splitmix64: fast, deterministic, well spread.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }

private:
    std::uint64_t m_state;
};

std::string word(int index)
{
    return std::string(kStems[index / std::size(kEndings)]) + kEndings[index % std::size(kEndings)];
}

std::string sequence(Random& random, Kind kind, int length)
{
    static const char kNucleotides[] = "ACGT";
    static const char kAminoAcids[] = "ACDEFGHIKLMNPQRSTVWY";
    std::string letters;
    letters.reserve(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i)
        letters +=
            kind == Kind::Protein ? kAminoAcids[random.below(20)] : kNucleotides[random.below(4)];
    return letters;
}

void fillKindFields(NewObject& object, Random& random, long long number)
{
    ObjectMeta& meta = object.meta;
    switch (object.kind) {
    case Kind::DnaRna:
    case Kind::Protein:
        meta[Field::Topology] =
            object.kind == Kind::DnaRna && random.below(4) == 0 ? "circular" : "linear";
        meta[Field::Organism] = kOrganisms[random.below(std::size(kOrganisms))];
        break;
    case Kind::Citation:
        meta[Field::Authors] = "Author" + std::to_string(random.below(5000)) + " A, Author" +
                               std::to_string(random.below(5000)) + " B";
        meta[Field::Journal] = "J Gen Biol " + std::to_string(random.below(40));
        meta[Field::Year] = std::to_string(1970 + random.below(55));
        break;
    case Kind::Blast:
        meta[Field::Program] = random.below(2) ? "blastn" : "blastp";
        meta[Field::Database] = "nt";
        meta[Field::Hits] = std::to_string(random.below(500));
        meta[Field::RunDate] = "Jan-01-2024";
        break;
    case Kind::Analysis:
        meta[Field::AnalysisType] = random.below(2) ? "alignment" : "restriction map";
        meta[Field::Source] = "GEN" + std::to_string(number / 2);
        break;
    }
}

NewObject generated(Kind kind, long long number)
{
    Random random(static_cast<std::uint64_t>(number) * 1315423911ULL + static_cast<int>(kind));
    NewObject object;
    object.kind = kind;
    object.metaKnown = true;
    char name[32];
    std::snprintf(name, sizeof name, "GEN%08lld", number);
    ObjectMeta& meta = object.meta;
    meta[Field::Name] = name;
    meta[Field::Accession] = "GA" + std::to_string(1000000 + number);
    meta[Field::Description] = word(random.below(kWordCount)) + " " +
                               word(random.below(kWordCount)) + " " +
                               word(random.below(kWordCount));
    const int length = 40 + random.below(80);
    meta[Field::Length] = std::to_string(length);
    fillKindFields(object, random, number);
    object.bytes = ">" + meta[Field::Name] + " " + meta[Field::Description] + "\n" +
                   sequence(random, kind, length) + "\n";
    return object;
}

} // namespace

int adminGenerate(const std::string& database, long long count, const std::string& kindName)
{
    const std::optional<Kind> kind = kindName.empty() ? Kind::DnaRna : kindFromKeyword(kindName);
    if (!kind) {
        adminError("Unknown kind \"" + kindName + "\".");
        return kAdminFailed;
    }
    std::unique_ptr<StoreBackEnd> store;
    Status status = openAdminStore(database, OpenMode::Existing, store);
    // Numbering goes on after what the kind holds, so that generating twice adds new names.
    ListingRequest existing;
    existing.kind = *kind;
    existing.pageSize = 1;
    Listing listing;
    if (status.ok())
        status = store->listObjects(adminSession(), existing, listing);
    std::vector<NewObject> batch;
    std::vector<Status> results;
    for (long long done = 0; status.ok() && done < count; done += kBatch) {
        batch.clear();
        for (long long i = done; i < count && i < done + kBatch; ++i)
            batch.push_back(generated(*kind, listing.found + i + 1));
        status = store->importObjects(batch, {}, {}, results);
        for (const Status& result : results) {
            if (status.ok() && !result.ok())
                status = result;
        }
    }
    if (!status.ok()) {
        adminError(status.message());
        return kAdminFailed;
    }
    std::printf("generated %lld %s objects\n", count, kindKeyword(*kind));
    return kAdminDone;
}

} // namespace Dbscout::Molb

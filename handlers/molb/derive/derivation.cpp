#include "derive/derivation.h"

#include "derive/feature_table.h"
#include "import/importer.h"

#include <algorithm>
#include <charconv>

namespace Dbscout::Molb {
namespace {

constexpr std::string_view kCdsPrefix = "cds:";
constexpr size_t kFastaLineLength = 60;

Status bad(const std::string& message)
{
    return Status::fail(ErrorCode::BadRequest, message);
}

int baseIndex(char base)
{
    switch (base) {
    case 'T':
    case 'U':
        return 0;
    case 'C':
        return 1;
    case 'A':
        return 2;
    case 'G':
        return 3;
    default:
        return -1;
    }
}

// The standard genetic code; codons in T, C, A, G order of their three bases. Table 11 (bacteria,
// plastids) codes the same amino acids and differs only in which codons may start.
std::string translate(std::string_view bases)
{
    static constexpr std::string_view kCode =
        "FFLLSSSSYY**CC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG";
    std::string protein;
    protein.reserve(bases.size() / 3);
    for (size_t i = 0; i + 3 <= bases.size(); i += 3) {
        const int a = baseIndex(bases[i]);
        const int b = baseIndex(bases[i + 1]);
        const int c = baseIndex(bases[i + 2]);
        protein += a < 0 || b < 0 || c < 0 ? 'X' : kCode[static_cast<size_t>(a * 16 + b * 4 + c)];
    }
    if (!protein.empty() && protein.back() == '*')
        protein.pop_back();
    return protein;
}

Status translateCds(const NucleotideRecord& record, size_t number, const std::string& name,
                    NewObject& child)
{
    if (number < 1 || number > record.codingSequences.size())
        return bad("the parent has no CDS " + std::to_string(number) + " (it has " +
                   std::to_string(record.codingSequences.size()) + ")");
    const CodingSequence& cds = record.codingSequences[number - 1];
    if (cds.geneticCode != 1 && cds.geneticCode != 11)
        return bad("CDS " + std::to_string(number) + " uses genetic code " +
                   std::to_string(cds.geneticCode) + ", not the standard one");
    if (cds.codonStart < 1 || cds.codonStart > 3)
        return bad("CDS " + std::to_string(number) + " has no valid /codon_start");
    std::string bases;
    if (Status status = spliceLocation(cds.location, record.sequence, bases); !status.ok())
        return bad("CDS " + std::to_string(number) + ": " + status.message());
    const std::string protein =
        translate(std::string_view(bases).substr(static_cast<size_t>(cds.codonStart - 1)));
    if (protein.empty())
        return bad("CDS " + std::to_string(number) + " codes for no amino acid");

    const std::string description =
        cds.product.empty() ? "translation of CDS " + std::to_string(number) : cds.product;
    child.kind = Kind::Protein;
    child.meta[Field::Name] = name;
    child.meta[Field::Description] = description;
    child.meta[Field::Length] = std::to_string(protein.size());
    child.metaKnown = true;
    child.bytes = ">" + name + " " + description + "\n";
    for (size_t i = 0; i < protein.size(); i += kFastaLineLength)
        child.bytes += protein.substr(i, kFastaLineLength) + "\n";
    return Status::pass();
}

// The organism of the parent goes with its translations.
void inheritOrganism(std::string_view parentBytes, NewObject& child)
{
    ObjectMeta parent;
    if (describeObject(parentBytes, Kind::DnaRna, parent))
        child.meta[Field::Organism] = parent[Field::Organism];
}

} // namespace

Status deriveObject(const std::string& derivation, std::string_view parentBytes,
                    const std::string& name, NewObject& child)
{
    child = NewObject();
    size_t number = 0;
    const char* end = derivation.data() + derivation.size();
    const char* digits = derivation.data() + std::min(derivation.size(), kCdsPrefix.size());
    if (!derivation.starts_with(kCdsPrefix) || std::from_chars(digits, end, number).ptr != end)
        return bad(derivation.empty() ? "it was not derived by a rule the store can repeat"
                                      : "its derivation \"" + derivation + "\" is unknown");
    NucleotideRecord record;
    Status status = readNucleotideRecord(parentBytes, record);
    if (status.ok())
        status = translateCds(record, number, name, child);
    if (status.ok())
        inheritOrganism(parentBytes, child);
    return status;
}

Status translationsOf(const std::string& parentName, std::string_view parentBytes,
                      std::vector<DerivedObject>& derived)
{
    derived.clear();
    NucleotideRecord record;
    if (Status status = readNucleotideRecord(parentBytes, record); !status.ok())
        return status;
    if (record.codingSequences.empty())
        return bad("\"" + parentName + "\" has no CDS feature to translate");
    for (size_t number = 1; number <= record.codingSequences.size(); ++number) {
        DerivedObject made;
        made.derivation = std::string(kCdsPrefix) + std::to_string(number);
        Status status =
            translateCds(record, number, parentName + "_cds" + std::to_string(number), made.object);
        if (!status.ok())
            return status;
        inheritOrganism(parentBytes, made.object);
        derived.push_back(std::move(made));
    }
    return Status::pass();
}

} // namespace Dbscout::Molb

#include "derive/derivation.h"

#include "import/importer.h"
#include "records/records.h"

#include <algorithm>
#include <charconv>

namespace Dbscout::Molb {
namespace {

using Records::Feature;
using Records::Record;

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

// The value of a whole-number qualifier; fallback when it is absent, -1 when it is no number.
int numberQualifier(const Feature& cds, std::string_view name, int fallback)
{
    const std::string* text = cds.qualifier(name);
    if (!text)
        return fallback;
    int value = -1;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    return error == std::errc() && end == text->data() + text->size() ? value : -1;
}

std::vector<const Feature*> codingSequences(const Record& record)
{
    std::vector<const Feature*> found;
    for (const Feature& feature : record.features) {
        if (feature.key == "CDS")
            found.push_back(&feature);
    }
    return found;
}

// The parent's record: one GenBank or EMBL nucleotide record with residues.
Status readParent(std::string_view bytes, Record& record)
{
    Records::RecordText read;
    const bool parsed = Records::readRecords(bytes, read).ok() && read.entries.size() == 1;
    if (parsed && !read.entries[0].outcome.ok())
        return bad("the parent cannot be read: " + read.entries[0].outcome.text());
    if (!parsed ||
        (read.format != Records::Format::GenBank && read.format != Records::Format::Embl) ||
        read.entries[0].record.kind != Records::RecordKind::Nucleotide)
        return bad("the parent is not a GenBank or EMBL nucleotide record");
    record = std::move(read.entries[0].record);
    if (record.sequence.empty())
        return bad("the parent record holds no sequence");
    return Status::pass();
}

Status translateCds(const Record& record, const std::vector<const Feature*>& cdsFeatures,
                    size_t number, const std::string& name, NewObject& child)
{
    const std::string which = "CDS " + std::to_string(number);
    if (number < 1 || number > cdsFeatures.size())
        return bad("the parent has no " + which + " (it has " + std::to_string(cdsFeatures.size()) +
                   ")");
    const Feature& cds = *cdsFeatures[number - 1];
    const int code = numberQualifier(cds, "transl_table", 1);
    if (code != 1 && code != 11)
        return bad(which + " uses genetic code " + std::to_string(code) + ", not the standard one");
    const int codonStart = numberQualifier(cds, "codon_start", 1);
    if (codonStart < 1 || codonStart > 3)
        return bad(which + " has no valid /codon_start");
    std::string bases;
    std::string error;
    if (!Records::spliceLocation(cds.location, record.sequence, bases, error))
        return bad(which + ": " + error);
    // A CDS shorter than its reading frame's offset codes for nothing.
    const std::string protein =
        translate(std::string_view(bases).substr(std::min(bases.size(), size_t(codonStart - 1))));
    if (protein.empty())
        return bad(which + " codes for no amino acid");

    const std::string* product = cds.qualifier("product");
    const std::string description = product ? *product : "translation of " + which;
    child.kind = Kind::Protein;
    child.meta[Field::Name] = name;
    child.meta[Field::Description] = description;
    child.meta[Field::Length] = std::to_string(protein.size());
    // The organism of the parent goes with its translations.
    child.meta[Field::Organism] = record.organism;
    child.metaKnown = true;
    child.bytes = ">" + name + " " + description + "\n";
    for (size_t i = 0; i < protein.size(); i += kFastaLineLength)
        child.bytes += protein.substr(i, kFastaLineLength) + "\n";
    return Status::pass();
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
    Record record;
    Status status = readParent(parentBytes, record);
    if (status.ok())
        status = translateCds(record, codingSequences(record), number, name, child);
    return status;
}

Status translationsOf(const std::string& parentName, std::string_view parentBytes,
                      std::vector<DerivedObject>& derived, std::vector<std::string>& remarks)
{
    derived.clear();
    remarks.clear();
    Record record;
    if (Status status = readParent(parentBytes, record); !status.ok())
        return status;
    const std::vector<const Feature*> cdsFeatures = codingSequences(record);
    if (cdsFeatures.empty())
        return bad("\"" + parentName + "\" has no CDS feature to translate");
    for (size_t number = 1; number <= cdsFeatures.size(); ++number) {
        DerivedObject made;
        made.derivation = std::string(kCdsPrefix) + std::to_string(number);
        const Status status = translateCds(
            record, cdsFeatures, number, parentName + "_cds" + std::to_string(number), made.object);
        if (status.ok())
            derived.push_back(std::move(made));
        else
            remarks.push_back(status.message());
    }
    if (derived.empty())
        return bad("\"" + parentName + "\" has no CDS feature that can be translated");
    return Status::pass();
}

} // namespace Dbscout::Molb

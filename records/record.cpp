#include "record.h"

namespace Dbscout::Records {

const std::string* Feature::qualifier(std::string_view name) const
{
    for (const Qualifier& qualifier : qualifiers) {
        if (qualifier.name == name)
            return &qualifier.value;
    }
    return nullptr;
}

const std::string& Record::accession() const
{
    static const std::string kNone;
    return accessions.empty() ? kNone : accessions.front();
}

const char* formatName(Format format)
{
    // In the order of Format.
    static constexpr const char* kNames[] = {"GenBank", "EMBL",    "UniProt",
                                             "FASTA",   "MEDLINE", "BLAST XML"};
    return kNames[static_cast<size_t>(format)];
}

const char* topologyName(Topology topology)
{
    // In the order of Topology.
    static constexpr const char* kNames[] = {"", "linear", "circular"};
    return kNames[static_cast<size_t>(topology)];
}

} // namespace Dbscout::Records

#pragma once
// Where the "cc: to Local DB" box puts its copies: a data source of a molb store and a subset,
// which the user chose once in a panel in save mode. It is kept as the save URL that panel gave
// (molb://local/lab/dnarna/NAME?query=From%20NCBI&user=...&command=put); a copy of another kind
// goes to that kind's path of the same store, into the subset of the same name there.

#include "configured_sources.h"

#include <QString>

#include <optional>
#include <string>

// True for an address of the user's own local molb store: its records need no local copy.
bool isLocalAddress(const std::string& address);

class CopyPlace
{
public:
    // A save URL of the molb scheme whose path holds a kind before the name; nothing for any
    // other URL (a copy needs the kind to be replaced).
    static std::optional<CopyPlace> fromSaveUrl(const std::string& url);
    // The first configured source that saves into a local molb store, subset "From NCBI".
    static std::optional<CopyPlace> byDefault(const std::vector<ConfiguredSource>& sources);

    const std::string& saveUrl() const { return m_saveUrl; }
    // The data-source address the place was chosen in (its store with the kind path).
    std::string sourceAddress() const { return m_store + m_kind + "/"; }
    // The subset copies join; empty when they join none (MAIN).
    const QString& subset() const { return m_subset; }
    // The place as a user reads it: by the name of the configured source it is in, and the
    // subset ("Demo database, subset From NCBI"); with a kind keyword, the Data Source entry that
    // lists that kind's copies ("Demo database (Citation), subset From NCBI"). A place no source
    // has is named by its address, without credentials.
    QString description(const std::vector<ConfiguredSource>& sources,
                        const std::string& kind = {}) const;

    // kind: a molb kind keyword ("dnarna", "protein", "citation").
    // The put URL that stores a copy named name.
    std::string putUrl(const std::string& kind, const std::string& name) const;
    // The URL of a batch save into the place (each record names its kind), which makes the
    // place's subset where a kind lacks it; force: taken names get new revisions.
    std::string batchSaveUrl(bool force) const;
    // The request for the subsets of kind the user may write, and the one that creates the
    // subset there (empty, as the panel's "New Subset" does with nothing selected).
    std::string subsetNamesUrl(const std::string& kind) const;
    std::string createSubsetUrl(const std::string& kind) const;

private:
    std::string m_saveUrl;
    std::string m_store;       // the address up to the kind, ending in '/'
    std::string m_kind;        // the kind keyword of the save URL
    std::string m_parameters;  // everything after the '?'
    std::string m_credentials; // "user=...&pass=..." or empty
    QString m_subset;
};

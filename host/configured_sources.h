#pragma once
// The data sources the host suite configures for its panels (docs/embedding.md, Administrators),
// as the demo needs them: which address a text of the panel's Data Source box stands for, and
// which store the local copies go to when the user chose none.

#include <string>
#include <vector>

struct ConfiguredSource
{
    std::string name;
    std::string address;
    bool canSave = false; // offered in save mode (both visibility flags set, CanSave)
    bool hasLogin = false;
    std::string user;
    std::string password;
};

// The suite's sources from HKEY_CURRENT_USER, in the order the store lists their keys; none
// when the key is missing.
std::vector<ConfiguredSource> readConfiguredSources();

// The address behind a text of the Data Source box: a configured source's name, alone or with
// the kind the panel adds when it shows a source once per kind (" (DNA/RNA)", " (Protein)",
// " (Blast)", " (Citation)", " (Analyses)"); any other text is an address the user typed.
std::string sourceAddressOf(const std::vector<ConfiguredSource>& sources, const std::string& text);

#pragma once
// The data sources the host suite configures for its panels (docs/embedding.md, Administrators),
// as the demo needs them: which address a text of the panel's Data Source box stands for and
// back, and which store the local copies go to when the user chose none.

#include <span>
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

// A kind as a panel for every kind shows it: the keyword its address gets as the kind path and
// the words after the source's name.
struct SourceKind
{
    const char* keyword; // "dnarna", ...
    const char* suffix;  // " (DNA/RNA)", ...
};
std::span<const SourceKind> sourceKinds();
// An address with a kind's path, as the panel makes it: a '/' unless the address ends in '/' or
// ':', then the keyword and a '/'.
std::string kindAddress(const std::string& address, const std::string& keyword);

// The suite's sources from HKEY_CURRENT_USER, in the order the store lists their keys; none
// when the key is missing.
std::vector<ConfiguredSource> readConfiguredSources();

// The address behind a text of the Data Source box: a configured source's name, alone or with
// the kind the panel adds when it shows a source once per kind; any other text is an address the
// user typed.
std::string sourceAddressOf(const std::vector<ConfiguredSource>& sources, const std::string& text);
// The other way, for a panel that shows every kind: the text of the entry whose address (with
// its kind path) is address; for an address no source has, the address itself, as the panel
// shows a typed one.
std::string sourceTextOf(const std::vector<ConfiguredSource>& sources, const std::string& address);
// The name of the configured source of an address without a kind path; empty for none.
std::string sourceNameOf(const std::vector<ConfiguredSource>& sources, const std::string& address);

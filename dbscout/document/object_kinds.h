#pragma once
// The kinds of object the panel lists: the host's data-type codes, the keyword a result page
// gives as its title and a data-source address carries as its kind path, the suffix a
// configured data source's entry gets per kind, and the image of the kind's rows. The one
// table of them; no widgets.

#include <span>
#include <string>

namespace Dbscout {

// The host's data-type codes (nDataType).
namespace KindCode {
constexpr int DnaRnaOrProtein = -1;
constexpr int Any = 0;
constexpr int DnaRna = 1;
constexpr int Protein = 2;
constexpr int Citation = 14;
constexpr int Blast = 15;
constexpr int Analysis = 17;
constexpr int Unknown = -1; // the code of a page title that names no kind
} // namespace KindCode

struct ObjectKind
{
    int code;
    const char* keyword;      // "dnarna", "protein", ...
    const char* sourceSuffix; // " (DNA/RNA)", ...: appended to a data source's name per kind
    int image;                // the rows' image in bitmap 6909
};

// Every kind, in the order the data-source box lists the kinds of one data source.
std::span<const ObjectKind> objectKinds();

// The kind of a code or of a keyword (exact, letter case included); null for none.
const ObjectKind* kindOfCode(int code);
const ObjectKind* kindOfKeyword(const std::string& keyword);

// The code and row image of a result page's title: KindCode::Unknown and the image of an
// object of unknown kind when the title names no kind.
int kindCodeOfTitle(const std::string& title);
int rowImageOfTitle(const std::string& title);

// Appends the kind path of a kind code to a data-source address: a '/' unless the address ends
// in '/' or ':', the kind's keyword and a '/'. Nothing for a code of no kind.
void AppendKindPath(std::string& strURL, int nKind);

// Whether a panel made for the host's data type lists objects of kindCode: 0 takes every kind,
// -1 DNA/RNA and protein, a positive code only its own kind; any other data type none.
bool dataTypeAccepts(int dataType, int kindCode);

} // namespace Dbscout

// MolbURLUnescape: percent-decoding of an object name into a buffer of its length plus one.

#include "hostlibs/molb_url_unescape.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using Dbscout::MolbURLUnescape;
using std::string_literals::operator""s;

namespace {

// Decodes the first length bytes of a source that has no terminator of its own, into a buffer
// of exactly length + 1 bytes, so that AddressSanitizer sees any access beyond either.
std::string unescape(const std::string& source, int length, bool& clean)
{
    std::vector<char> in(source.begin(), source.end());
    in.reserve(1); // an empty source is still a pointer
    std::vector<char> out(size_t(length) + 1, '#');
    clean = MolbURLUnescape(out.data(), length, in.data());
    return std::string(out.data(), std::strlen(out.data()));
}

} // namespace

TEST(MolbURLUnescape, decodesEscapesAndCopiesBadOnesAsTheyStand)
{
    const struct
    {
        std::string source;
        int length;
        std::string decoded;
        bool clean;
    } cases[] = {
        {"a%20b", 5, "a b", true},      {"%e4%C3%B6", 9, "\xe4\xc3\xb6", true},
        {"%2541", 5, "%41", true}, // decoded once only
        {"100%", 4, "100%", false},     {"%4g!", 4, "%4g!", false},
        {"ab%41cd", 4, "ab%4", false}, // the escape is cut off by the length
        {"ab%41cd", 5, "abA", true},   // the escape ends at the length
        {"", 0, "", true},
    };
    for (const auto& c : cases) {
        bool clean = !c.clean;
        EXPECT_EQ(unescape(c.source, c.length, clean), c.decoded) << c.source << " " << c.length;
        EXPECT_EQ(clean, c.clean) << c.source << " " << c.length;
    }
}

TEST(MolbURLUnescape, stopsAtTheSourcesEndAndRefusesNullArguments)
{
    char out[16];
    std::memset(out, '#', sizeof out);
    EXPECT_TRUE(MolbURLUnescape(out, 10, "a%41"));
    EXPECT_STREQ(out, "aA");
    EXPECT_FALSE(MolbURLUnescape(out, 4, nullptr));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(MolbURLUnescape(nullptr, 4, "x"));
    EXPECT_FALSE(MolbURLUnescape(out, -1, "x"));
}

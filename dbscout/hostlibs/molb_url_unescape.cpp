#include "hostlibs/molb_url_unescape.h"

namespace Dbscout {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool MolbURLUnescape(char* out, int length, const char* source)
{
    if (!out || length < 0)
        return false;
    if (!source) {
        out[0] = '\0';
        return false;
    }
    bool clean = true;
    int written = 0;
    for (int i = 0; i < length && source[i] != '\0'; ++i) {
        if (source[i] == '%') {
            // Both digits must lie inside the length given: never read past it.
            const int high = i + 2 < length ? hexValue(source[i + 1]) : -1;
            const int low = high >= 0 ? hexValue(source[i + 2]) : -1;
            if (low >= 0) {
                out[written++] = char(high * 16 + low);
                i += 2;
                continue;
            }
            clean = false;
        }
        out[written++] = source[i];
    }
    out[written] = '\0';
    return clean;
}

} // namespace Dbscout

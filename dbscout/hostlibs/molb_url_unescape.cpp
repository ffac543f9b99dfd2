#include "hostlibs/molb_url_unescape.h"

#include "platform/hex_digit.h"

namespace Dbscout {

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
            const int high = i + 2 < length ? hexDigitValue(source[i + 1]) : -1;
            const int low = high >= 0 ? hexDigitValue(source[i + 2]) : -1;
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

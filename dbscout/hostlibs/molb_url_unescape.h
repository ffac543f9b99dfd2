#pragma once

namespace Dbscout {

// Decodes the percent escapes of the first length bytes of source (fewer when it ends sooner)
// into out, which holds length + 1 bytes, and ends it with a NUL. An escape that is cut off or
// not made of two hex digits is copied as it stands. False when something could not be decoded.
bool MolbURLUnescape(char* out, int length, const char* source);

} // namespace Dbscout

#pragma once
// Writes a key and everything below it as .reg text (header "Windows Registry Editor Version
// 5.00"), in such a form that importing it reproduces every key and value exactly: strings that
// would not come back byte for byte are written as hex(1), numbers of another size as hex(4).

#include "reg_key_name.h"

#include <string>

namespace Dbscout {

// False with error set when a key cannot be read or a name cannot be written in the format.
bool exportRegText(const RegKeyName& key, std::string& text, std::string& error);

} // namespace Dbscout

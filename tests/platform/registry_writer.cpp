// Test helper: writes values into the user's hive, one transaction each, and reports every value
// on standard output only after it has been committed. The tests run several at once, or kill
// one half-way, and then check that the store holds everything that was reported.
//
// Usage: dbscout-registry-writer KEY PREFIX COUNT
// Writes REG_SZ values named PREFIX<i> with the data "value <i>" into HKEY_CURRENT_USER\KEY.

#include <dbscout/registry.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: dbscout-registry-writer KEY PREFIX COUNT\n");
        return 2;
    }
    Dbscout::RegKey key;
    LONG result = key.create(HKEY_CURRENT_USER, argv[1]);
    if (result != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot create %s: %d\n", argv[1], int(result));
        return 1;
    }
    const long count = std::strtol(argv[3], nullptr, 10);
    for (long i = 0; i < count; ++i) {
        const std::string name = argv[2] + std::to_string(i);
        const std::string data = "value " + std::to_string(i);
        result =
            RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(data.c_str()), DWORD(data.size() + 1));
        if (result != ERROR_SUCCESS) {
            std::fprintf(stderr, "cannot write %s: %d\n", name.c_str(), int(result));
            return 1;
        }
        std::printf("%ld\n", i);
        std::fflush(stdout);
    }
    return 0;
}

// dbscout-reg import on any file text, through to a real settings store (a private folder with
// both hives): a file that is refused, by the reader or by the store part-way, leaves both hives
// exactly as they were.

#include "fuzz_check.h"
#include "platform/registry_store.h"
#include "reg_import.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace Dbscout;

namespace {

// Every key below key, with every value's name, type and bytes, in store order.
void dump(HKEY key, const std::string& path, std::string& out)
{
    out += "[" + path + "]\n";
    char name[256];
    std::string data(1 << 16, '\0');
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        DWORD dataSize = static_cast<DWORD>(data.size());
        const LONG result = RegEnumValueA(key, i, name, &nameSize, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        FUZZ_CHECK(result == ERROR_SUCCESS || result == ERROR_MORE_DATA);
        out += std::string(name, nameSize) + "=" + std::to_string(type) + ":" +
               (result == ERROR_SUCCESS ? data.substr(0, dataSize) : "(large)") + "\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        const LONG result =
            RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        FUZZ_CHECK(result == ERROR_SUCCESS);
        RegKey below;
        FUZZ_CHECK(below.open(key, name, KEY_READ) == ERROR_SUCCESS);
        dump(below.get(), path + "\\" + name, out);
    }
}

std::string storeContents()
{
    std::string out;
    dump(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", out);
    dump(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", out);
    return out;
}

// The same few keys before every input, so that files that change or delete them find them.
void resetStore()
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        FUZZ_CHECK(RegDeleteTreeA(root, nullptr) == ERROR_SUCCESS);
        RegKey key;
        FUZZ_CHECK(key.create(root, "Software\\Seed\\Below") == ERROR_SUCCESS);
        FUZZ_CHECK(key.create(root, "Software\\Seed") == ERROR_SUCCESS);
        FUZZ_CHECK(RegSetValueExA(key.get(), "a", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"),
                                  2) == ERROR_SUCCESS);
    }
}

// A private store for the whole run, removed at its end: in the tests' folder when replayed, else
// in memory (/dev/shm), for speed.
void useOwnStore()
{
    const char* tests = std::getenv("DBSCOUT_TEST_TMP");
    const std::string base = tests                                       ? tests
                             : std::filesystem::is_directory("/dev/shm") ? "/dev/shm"
                                                                         : "/tmp";
    std::filesystem::create_directories(base);
    static std::string folder = base + "/fuzz-reg-XXXXXX";
    FUZZ_CHECK(::mkdtemp(folder.data()) != nullptr);
    ::setenv("DBSCOUT_REGISTRY_DIR", folder.c_str(), 1);
    resetRegistryForTests();
    std::atexit([] { std::filesystem::remove_all(folder); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = (useOwnStore(), true);
    static_cast<void>(ready);
    resetStore();
    const std::string before = storeContents();
    RegFileError error;
    if (!importRegText(std::string(reinterpret_cast<const char*>(data), size), error))
        FUZZ_CHECK(storeContents() == before);
    return 0;
}

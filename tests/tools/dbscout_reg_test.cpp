// dbscout-reg, run as a real process against a private store.

#include "support/child_process.h"
#include "platform/registry_fixture.h"

#include <fstream>
#include <tuple>
#include <vector>

using namespace DbscoutTest;
using Dbscout::RegKey;
using std::string_literals::operator""s;

namespace {

ProcessResult reg(const std::vector<std::string>& args, const std::string& input = std::string())
{
    return runProcess(DBSCOUT_REG_TOOL, args, input);
}

std::string readFile(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

class DbscoutRegTest : public RegistryTest
{
protected:
    std::optional<StoredValue> stored(const char* path, const char* name)
    {
        RegKey key;
        if (key.open(HKEY_CURRENT_USER, path) != ERROR_SUCCESS)
            return std::nullopt;
        return value(key.get(), name);
    }
};

} // namespace

TEST_F(DbscoutRegTest, addStoresEachTypeAsWritten)
{
    // The value name follows /v (in any letter case); without it the default value is meant.
    const std::pair<std::vector<std::string>, StoredValue> cases[] = {
        {{"/v", "Plain", "/d", "text"}, {REG_SZ, "text\0"s}},
        {{"/ve", "/d", "\"/usr/bin/h\" \"%1\""}, {REG_SZ, "\"/usr/bin/h\" \"%1\"\0"s}},
        {{"/v", "Empty"}, {REG_SZ, "\0"s}},
        {{"/v", "Path", "/t", "REG_EXPAND_SZ", "/d", "%HOME%/x"}, {REG_EXPAND_SZ, "%HOME%/x\0"s}},
        {{"/v", "List", "/t", "REG_MULTI_SZ", "/d", "a\\0bc"}, {REG_MULTI_SZ, "a\0bc\0\0"s}},
        {{"/v", "Hex", "/t", "REG_DWORD", "/d", "0x1F"}, {REG_DWORD, "\x1f\0\0\0"s}},
        {{"/V", "Bytes", "/T", "REG_BINARY", "/D", "00ff7A"}, {REG_BINARY, "\0\xff\x7a"s}},
    };
    for (const auto& [options, expected] : cases) {
        const std::string name = options[0] == "/v" || options[0] == "/V" ? options[1] : "";
        std::vector<std::string> args = {"add", "HKCU\\Software\\Added"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back("/f");
        const ProcessResult result = reg(args);
        EXPECT_EQ(result.exitCode, 0) << name << ": " << result.errors;
        EXPECT_EQ(stored("Software\\Added", name.c_str()), expected) << name;
    }
}

TEST_F(DbscoutRegTest, queryPrintsValuesThenSubkeys)
{
    RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Shown");
    createKey(key.get(), "Child");
    put(key.get(), nullptr, REG_SZ, "default\0"s);
    put(key.get(), "n", REG_DWORD, "\x0a\0\0\0"s);
    put(key.get(), "m", REG_MULTI_SZ, "x\0y\0\0"s);
    put(key.get(), "b", REG_BINARY, "\x01\xab"s);

    ProcessResult result = reg({"query", "HKEY_CURRENT_USER\\Software\\Shown"});
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(result.output, "HKEY_CURRENT_USER\\Software\\Shown\n"
                          "    (Default)    REG_SZ    default\n"
                          "    n    REG_DWORD    0xa\n"
                          "    m    REG_MULTI_SZ    x\\0y\n"
                          "    b    REG_BINARY    01AB\n"
                          "\n"
                          "HKEY_CURRENT_USER\\Software\\Shown\\Child\n");

    result = reg({"query", "HKCU\\Software\\Shown", "/v", "N"});
    EXPECT_EQ(result.output, "HKEY_CURRENT_USER\\Software\\Shown\n    N    REG_DWORD    0xa\n");
    result = reg({"query", "HKCU\\Software\\Shown", "/v", "missing"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors,
              "dbscout-reg: HKEY_CURRENT_USER\\Software\\Shown value missing: not found\n");
}

TEST_F(DbscoutRegTest, addAsksBeforeOverwritingAValue)
{
    RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Ask");
    put(key.get(), "v", REG_SZ, "old\0"s);
    const std::vector<std::string> add = {"add", "HKCU\\Software\\Ask", "/v", "v", "/d", "new"};

    for (const char* refusal : {"", "maybe\n"}) {
        const ProcessResult result = reg(add, refusal);
        EXPECT_EQ(result.exitCode, 1) << refusal;
        EXPECT_NE(result.errors.find("Value v exists, overwrite (Yes/No)? "), std::string::npos);
        EXPECT_NE(result.errors.find("dbscout-reg: cancelled; nothing was changed\n"),
                  std::string::npos);
        EXPECT_EQ(value(key.get(), "v"), (StoredValue{REG_SZ, "old\0"s}));
    }
    EXPECT_EQ(reg(add, "Yes\n").exitCode, 0);
    EXPECT_EQ(value(key.get(), "v"), (StoredValue{REG_SZ, "new\0"s}));
    std::vector<std::string> forced = add;
    forced.back() = "forced";
    forced.push_back("/f");
    EXPECT_EQ(reg(forced).exitCode, 0);
    EXPECT_EQ(value(key.get(), "v"), (StoredValue{REG_SZ, "forced\0"s}));
}

TEST_F(DbscoutRegTest, deleteRemovesValuesAndWholeKeys)
{
    RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Doomed\\Inner");
    put(key.get(), "v", REG_SZ, "x");
    put(key.get(), nullptr, REG_SZ, "d");

    EXPECT_EQ(reg({"delete", "HKCU\\Software\\Doomed\\Inner", "/v", "v"}, "no\n").exitCode, 1);
    EXPECT_TRUE(value(key.get(), "v"));
    EXPECT_EQ(reg({"delete", "HKCU\\Software\\Doomed\\Inner", "/v", "v"}, "y\n").exitCode, 0);
    EXPECT_FALSE(value(key.get(), "v"));
    EXPECT_EQ(reg({"delete", "HKCU\\Software\\Doomed\\Inner", "/ve", "/f"}).exitCode, 0);
    EXPECT_FALSE(value(key.get(), ""));

    EXPECT_EQ(reg({"delete", "HKCU\\Software\\Doomed"}, "n\n").exitCode, 1);
    RegKey still;
    EXPECT_EQ(still.open(HKEY_CURRENT_USER, "Software\\Doomed\\Inner"), ERROR_SUCCESS);
    EXPECT_EQ(reg({"delete", "HKCU\\Software\\Doomed", "/f"}).exitCode, 0);
    EXPECT_EQ(still.open(HKEY_CURRENT_USER, "Software\\Doomed"), ERROR_FILE_NOT_FOUND);

    const ProcessResult missing = reg({"delete", "HKCU\\Software\\Doomed", "/f"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.errors, "dbscout-reg: HKEY_CURRENT_USER\\Software\\Doomed: not found\n");
}

TEST_F(DbscoutRegTest, exportThenImportReproducesEveryKeyAndValue)
{
    const std::vector<std::tuple<const char*, DWORD, std::string>> values = {
        {"", REG_SZ, "the default\0"s},
        {"Quote \"and\" back\\slash", REG_SZ, "C:\\path \"quoted\"\0"s},
        {"no terminator", REG_SZ, "bare"},
        {"line break", REG_SZ, "one\ntwo\0"s},
        {"expand", REG_EXPAND_SZ, "%HOME%\0"s},
        {"multi", REG_MULTI_SZ, "a\0b\0\0"s},
        {"dword", REG_DWORD, "\x78\x56\x34\x12"s},
        {"short dword", REG_DWORD, "\x01\x02"s},
        {"binary", REG_BINARY, std::string(200, '\xc3')},
        {"none", REG_NONE, "\x01"s},
        {"qword-like", 11, "\1\2\3\4\5\6\7\x08"s},
    };
    {
        RegKey key = createKey(HKEY_CURRENT_USER, "Software\\Round Trip");
        for (const auto& [name, type, data] : values)
            put(key.get(), name, type, data);
        createKey(key.get(), "Empty Child");
        RegKey deep = createKey(key.get(), "MixedCase\\Deeper [bracket]");
        put(deep.get(), "x", REG_SZ, "y\0"s);
    }
    const std::string first = m_env.file("first.reg");
    const std::string second = m_env.file("second.reg");
    ProcessResult result = reg({"export", "hkcu\\software\\round trip", first});
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Round Trip"), ERROR_SUCCESS);
    result = reg({"import", first});
    ASSERT_EQ(result.exitCode, 0) << result.errors;

    RegKey key;
    ASSERT_EQ(key.open(HKEY_CURRENT_USER, "Software\\Round Trip"), ERROR_SUCCESS);
    std::vector<std::string> names;
    for (const auto& [name, type, data] : values) {
        EXPECT_EQ(value(key.get(), name), (StoredValue{type, data})) << name;
        names.push_back(name);
    }
    EXPECT_EQ(valueNamesOf(key.get()), names);
    EXPECT_EQ(subkeysOf(key.get()), (std::vector<std::string>{"Empty Child", "MixedCase"}));
    EXPECT_EQ(stored("Software\\Round Trip\\MixedCase\\Deeper [bracket]", "x"),
              (StoredValue{REG_SZ, "y\0"s}));

    ASSERT_EQ(reg({"export", "HKCU\\Software\\Round Trip", second}).exitCode, 0);
    EXPECT_EQ(readFile(second), readFile(first));
    EXPECT_EQ(readFile(first).rfind("Windows Registry Editor Version 5.00\n\n"
                                    "[HKEY_CURRENT_USER\\Software\\Round Trip]\n"
                                    "@=\"the default\"\n"
                                    "\"Quote \\\"and\\\" back\\\\slash\"=\"C:\\\\path "
                                    "\\\"quoted\\\"\"\n",
                                    0),
              0u);
}

TEST_F(DbscoutRegTest, importReadsTheWholeFormat)
{
    createKey(HKEY_CURRENT_USER, "Software\\Old\\Gone");
    RegKey kept = createKey(HKEY_CURRENT_USER, "Software\\Imported");
    put(kept.get(), "drop me", REG_SZ, "x");
    const std::string file = m_env.file("in.reg");
    writeFile(file, "\xef\xbb\xbfREGEDIT4\r\n"
                    "; a comment\r\n"
                    "\r\n"
                    "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"
                    "[HKCU\\Software\\Imported]\r\n"
                    "@=\"default ; not a comment\"   ; a comment\r\n"
                    "\"drop me\"=-\r\n"
                    "\"n\" = dword:1F\r\n"
                    "\"bin\"=hex:01,02,\\\r\n"
                    "    03 , 04\r\n"
                    "\"exp\"=hex(2):25,00\r\n"
                    "\"multi\"=hex(7):61,00,00\r\n"
                    "\"empty\"=hex:\r\n");
    const ProcessResult result = reg({"import", file});
    ASSERT_EQ(result.exitCode, 0) << result.errors;

    RegKey old;
    EXPECT_EQ(old.open(HKEY_CURRENT_USER, "Software\\Old"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(value(kept.get(), ""), (StoredValue{REG_SZ, "default ; not a comment\0"s}));
    EXPECT_FALSE(value(kept.get(), "drop me"));
    EXPECT_EQ(value(kept.get(), "n"), (StoredValue{REG_DWORD, "\x1f\0\0\0"s}));
    EXPECT_EQ(value(kept.get(), "bin"), (StoredValue{REG_BINARY, "\1\2\3\4"s}));
    EXPECT_EQ(value(kept.get(), "exp"), (StoredValue{REG_EXPAND_SZ, "%\0"s}));
    EXPECT_EQ(value(kept.get(), "multi"), (StoredValue{REG_MULTI_SZ, "a\0\0"s}));
    EXPECT_EQ(value(kept.get(), "empty"), (StoredValue{REG_BINARY, ""}));
}

TEST_F(DbscoutRegTest, malformedImportNamesTheFileAndLineAndChangesNothing)
{
    const std::string header = "Windows Registry Editor Version 5.00\n[HKCU\\Software\\Fresh]\n";
    const struct
    {
        std::string text;
        const char* message;
    } cases[] = {
        {"", "1: not a registry file: the first line must be \"Windows Registry Editor Version "
             "5.00\" or \"REGEDIT4\""},
        {"REGEDIT4\n\"v\"=\"x\"\n", "2: value outside a key section"},
        {header + "[HKCU\\Software\\Broken\n", "3: key line does not end with ]"},
        {header + "[HKEY_NOWHERE\\X]\n", "3: unknown root key \"HKEY_NOWHERE\""},
        {header + "[HKCU\\a\\\\b]\n", "3: empty key name in \"HKCU\\a\\\\b\""},
        {header + "[-HKCU]\n", "3: cannot delete a whole hive"},
        {header + "[-HKCU\\x]\n\"v\"=\"x\"\n", "4: value under a deleted key"},
        {header + "\"open=\"x\"\n", "3: expected = after the value name"},
        {header + "\"unterminated\n", "3: unterminated value name"},
        {header + "\"v\"=\"open\n", "3: unterminated string"},
        {header + "\"v\"=\"bad \\n escape\"\n",
         "3: unknown escape \\n (only \\\\ and \\\" are allowed)"},
        {header + "\"v\"=dword:123456789\n", "3: dword: needs 1 to 8 hex digits"},
        {header + "\"v\"=hex:01,zz\n", "3: bad hex byte \"zz\""},
        {header + "\"v\"=hex(q):00\n", "3: hex( needs a hex type number and \"):\""},
        {header + "\"v\"=hex:01,\\\n", "3: the file ends inside a continued line"},
        {header + "\"v\"=number\n",
         "3: unknown value data; expected \"text\", dword:, hex:, hex(N): or -"},
        {header + "\"v\"=\"x\" trailing\n", "3: unexpected text after the value"},
        {header + "stray text\n",
         "3: unexpected line; expected [KEY], a value line or a ; comment"},
        // Names and strings are UTF-8 text without NUL bytes; a name cut at its NUL would have
        // deleted or changed another key or value.
        {header + "[HKCU\\Software\\Fresh\0Other]\n"s, "3: the key name holds a NUL byte"},
        {header + "[-HKCU\\Software\\Fresh\0Other]\n"s, "3: the key name holds a NUL byte"},
        {header + "\"v\0w\"=\"x\"\n"s, "3: the value name holds a NUL byte"},
        {header + "\"v\"=\"x\0y\"\n"s, "3: the string holds a NUL byte"},
        {header + "[HKCU\\Software\\\xff]\n", "3: the key name is not valid UTF-8"},
        {header + "\"\xc3\"=\"x\"\n", "3: the value name is not valid UTF-8"},
        {header + "\"v\"=\"\xe9t\xe9\"\n", "3: the string is not valid UTF-8"},
    };
    const std::string file = m_env.file("bad.reg");
    for (const auto& c : cases) {
        writeFile(file, c.text);
        const ProcessResult result = reg({"import", file});
        EXPECT_EQ(result.exitCode, 1) << c.text;
        EXPECT_EQ(result.errors, "dbscout-reg: " + file + ":" + c.message + "\n") << c.text;
        RegKey fresh;
        EXPECT_EQ(fresh.open(HKEY_CURRENT_USER, "Software\\Fresh"), ERROR_FILE_NOT_FOUND) << c.text;
    }
    const ProcessResult missing = reg({"import", m_env.file("absent.reg")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.errors, "dbscout-reg: " + m_env.file("absent.reg") +
                               ": cannot read: No such file or directory\n");
}

TEST_F(DbscoutRegTest, anImportTheStoreRefusesPartWayChangesNothing)
{
    RegKey kept = createKey(HKEY_CURRENT_USER, "Software\\Kept");
    put(kept.get(), "v", REG_SZ, "old\0"s);
    const std::string longName(256, 'k'); // one more than a key name may have
    const std::string file = m_env.file("refused.reg");
    writeFile(file, "Windows Registry Editor Version 5.00\n"
                    "[HKCU\\Software\\Early]\n"
                    "\"v\"=\"1\"\n"
                    "[-HKCU\\Software\\Kept]\n"
                    "[HKCU\\Software\\Later]\n"
                    "\"v\"=dword:2\n"
                    "[HKCU\\Software\\" +
                        longName + "]\n");
    const ProcessResult result = reg({"import", file});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.errors, "dbscout-reg: " + file + ":7: HKEY_CURRENT_USER\\Software\\" + longName +
                              ": invalid key or value name\n");
    Dbscout::resetRegistryForTests(); // read the file anew
    RegKey absent;
    EXPECT_EQ(absent.open(HKEY_CURRENT_USER, "Software\\Early"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(absent.open(HKEY_CURRENT_USER, "Software\\Later"), ERROR_FILE_NOT_FOUND);
    RegKey reread = createKey(HKEY_CURRENT_USER, "Software\\Kept");
    EXPECT_EQ(value(reread.get(), "v"), (StoredValue{REG_SZ, "old\0"s}));
}

TEST_F(DbscoutRegTest, badCommandLinesAreRefusedWithOneLine)
{
    // A usage error (exit code 2) ends with a hint; a failure (1) does not.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"frobnicate"}, "2unknown command \"frobnicate\""},
        {{"query", "HKXX\\Software"},
         "2\"HKXX\\Software\" does not start with HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE or "
         "HKEY_CLASSES_ROOT (HKCU, HKLM, HKCR)"},
        {{"query", "HKCU", "/d", "x"}, "2unknown option \"/d\""},
        {{"add", "HKCU\\S", "/v"}, "2/v needs an argument"},
        {{"add", "HKCU\\S", "/v", "a", "/ve"}, "2name one value only (/v NAME or /ve)"},
        {{"add", "HKCU\\S", "/v", "a", "/t", "REG_QWORD"},
         "2unknown type \"REG_QWORD\"; use REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD or "
         "REG_BINARY"},
        {{"add", "HKCU\\S", "/v", "a", "/t", "REG_DWORD", "/d", "4294967296"},
         "2REG_DWORD data must be a decimal or 0x hex number below 2^32: \"4294967296\""},
        {{"add", "HKCU\\S", "/v", "a", "/t", "REG_BINARY", "/d", "abc"},
         "2REG_BINARY data must be pairs of hex digits: \"abc\""},
        {{"delete", "HKCU", "/f"}, "1HKEY_CURRENT_USER: a whole hive cannot be deleted"},
        {{"export", "HKCU\\Software"}, "2export takes KEY FILE"},
        {{"export", "HKCU\\Missing", m_env.file("never-written.reg")},
         "1HKEY_CURRENT_USER\\Missing: not found"},
    };
    for (const auto& [args, expected] : cases) {
        const ProcessResult result = reg(args);
        const int code = expected[0] - '0';
        EXPECT_EQ(result.exitCode, code) << args.front();
        EXPECT_EQ(result.errors,
                  "dbscout-reg: " + expected.substr(1) +
                      (code == 2 ? " (run dbscout-reg without arguments for usage)" : "") + "\n");
    }
    const ProcessResult usage = reg({});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_EQ(usage.errors.rfind("usage: dbscout-reg query KEY", 0), 0u);
}

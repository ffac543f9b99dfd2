// The handler command the demo runs to fetch objects, found and taken apart by the component's
// exported lookup: what it runs, and what it says when there is nothing it can run.

#include "handler_command.h"

#include <dbscout/registry.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(HandlerCommand, findsTheCommandOfTheUrlsSchemeAndVerbOrSaysWhatIsMissing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    qputenv("DBSCOUT_REGISTRY_DIR", dir.path().toLocal8Bit());
    const std::pair<const char*, std::string> values[] = {
        {"molb\\shell\\open\\command", "\"/opt/molb handler\" \"-v %1\""},
        {"molb\\shell\\dir\\command", "\"/opt/other\" \"%1\""},
        {"molb\\shell\\put\\command", "/opt/molb-handler %1"}, // unquoted: nothing to run
        {"ncbi\\shell\\open\\command", "abc"},                 // not a string: no command
    };
    for (const auto& [key, value] : values) {
        Dbscout::RegKey command;
        ASSERT_EQ(command.create(HKEY_CLASSES_ROOT, key), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(command.get(), nullptr, 0, value == "abc" ? REG_DWORD : REG_SZ,
                                 reinterpret_cast<const BYTE*>(value.c_str()),
                                 DWORD(value.size() + 1)),
                  ERROR_SUCCESS);
    }
    // A URL's runs of blanks and its tabs arrive unchanged, in one argument.
    const HandlerCommand command = handlerCommandFor("molb://local/demo/x?query=a  b\tc", "open");
    EXPECT_TRUE(command.error.isEmpty()) << qPrintable(command.error);
    EXPECT_EQ(command.program, "/opt/molb handler");
    EXPECT_EQ(command.arguments, QStringList{"-v molb://local/demo/x?query=a  b\tc"});

    const std::tuple<const char*, const char*, QString> refused[] = {
        {"ncbi://x", "open", "no handler program is registered for \"ncbi\" (verb open)"},
        {"molb://x", "ci", "no handler program is registered for \"molb\" (verb ci)"},
        {"no-scheme", "open", "no handler program is registered for \"\" (verb open)"},
        {"molb://x", "put",
         "the registered command is not of the form \"<program>\" \"<arguments with %1>\": "
         "/opt/molb-handler %1"},
    };
    for (const auto& [url, verb, error] : refused) {
        const HandlerCommand none = handlerCommandFor(url, verb);
        EXPECT_EQ(none.error, error) << url;
        EXPECT_TRUE(none.program.isEmpty()) << url;
    }
    qunsetenv("DBSCOUT_REGISTRY_DIR");
}

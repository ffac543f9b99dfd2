// Finding and splitting the handler command the demo runs to fetch objects.

#include "handler_command.h"

#include <dbscout/registry.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(HandlerCommand, passesTheArgumentTextLikeThePanelAndRefusesMalformedCommands)
{
    const struct
    {
        std::string command, url;
        QString program;
        QStringList arguments;
    } cases[] = {
        // A URL's runs of blanks and its tabs arrive unchanged, in one argument.
        {"\"/opt/h\" \"%1\"", "molb://d/x?query=a  b\tc", "/opt/h", {"molb://d/x?query=a  b\tc"}},
        {"\"/opt/h\" \"-v %1 --url=%1\"", "u", "/opt/h", {"-v u --url=u"}},
        {"\"/path with blanks/h\" \"\"", "u", "/path with blanks/h", {}},
    };
    for (const auto& c : cases) {
        const HandlerCommand command = splitHandlerCommand(c.command, c.url);
        EXPECT_TRUE(command.error.isEmpty()) << c.command;
        EXPECT_EQ(command.program, c.program) << c.command;
        EXPECT_EQ(command.arguments, c.arguments) << c.command;
    }
    for (const char* command :
         {"", "/usr/bin/h %1", "\"/usr/bin/h\"", "\"\" \"%1\"", "\"/h\" \"%1"}) {
        const HandlerCommand split = splitHandlerCommand(command, "molb://x");
        EXPECT_FALSE(split.error.isEmpty()) << command;
        EXPECT_TRUE(split.program.isEmpty()) << command;
    }
}

TEST(HandlerCommand, findsTheCommandOfTheUrlsSchemeAndVerbOrSaysWhatIsMissing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    qputenv("DBSCOUT_REGISTRY_DIR", dir.path().toLocal8Bit());
    const std::pair<const char*, std::string> values[] = {
        {"molb\\shell\\open\\command", "\"/opt/molb-handler\" \"%1\""},
        {"molb\\shell\\dir\\command", "\"/opt/other\" \"%1\""},
        {"ncbi\\shell\\open\\command", "abc"}, // not a string: no command
    };
    for (const auto& [key, value] : values) {
        Dbscout::RegKey command;
        ASSERT_EQ(command.create(HKEY_CLASSES_ROOT, key), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(command.get(), nullptr, 0, value == "abc" ? REG_DWORD : REG_SZ,
                                 reinterpret_cast<const BYTE*>(value.c_str()),
                                 DWORD(value.size() + 1)),
                  ERROR_SUCCESS);
    }
    const HandlerCommand command = handlerCommandFor("molb://local/demo/protein/1", "open");
    EXPECT_TRUE(command.error.isEmpty()) << qPrintable(command.error);
    EXPECT_EQ(command.program, "/opt/molb-handler");
    EXPECT_EQ(command.arguments, QStringList{"molb://local/demo/protein/1"});

    const std::tuple<const char*, const char*, const char*> missing[] = {
        {"ncbi://x", "open", "ncbi"}, {"molb://x", "put", "molb"}, {"no-scheme", "open", ""}};
    for (const auto& [url, verb, scheme] : missing)
        EXPECT_EQ(
            handlerCommandFor(url, verb).error,
            QString("no handler program is registered for \"%1\" (verb %2)").arg(scheme, verb))
            << url;
    qunsetenv("DBSCOUT_REGISTRY_DIR");
}

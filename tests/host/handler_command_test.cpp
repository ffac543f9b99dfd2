// Finding and splitting the handler command the demo runs to fetch objects.

#include "handler_command.h"

#include <dbscout/registry.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(HandlerCommand, splitsLikeThePanel)
{
    struct Case
    {
        std::string command;
        std::string url;
        QString program;
        QStringList arguments;
    };
    const Case cases[] = {
        {"\"/usr/bin/molb-handler\" \"%1\"",
         "molb://local/demo/dnarna/5?command=fetch",
         "/usr/bin/molb-handler",
         {"molb://local/demo/dnarna/5?command=fetch"}},
        // A URL with blanks arrives as several arguments; tabs split too.
        {"\"/opt/h\" \"%1\"",
         "molb://local/d/x?query=a b\tc",
         "/opt/h",
         {"molb://local/d/x?query=a", "b", "c"}},
        {"\"/opt/h\" \"-v %1 --url=%1\"", "u", "/opt/h", {"-v", "u", "--url=u"}},
        {"\"/path with blanks/h\" \"\"", "u", "/path with blanks/h", {}},
    };
    for (const Case& c : cases) {
        const HandlerCommand command = splitHandlerCommand(c.command, c.url);
        EXPECT_TRUE(command.error.isEmpty()) << c.command;
        EXPECT_EQ(command.program, c.program) << c.command;
        EXPECT_EQ(command.arguments, c.arguments) << c.command;
    }
}

TEST(HandlerCommand, refusesMalformedCommands)
{
    for (const char* command :
         {"", "/usr/bin/h %1", "\"/usr/bin/h\"", "\"\" \"%1\"", "\"/h\" \"%1"}) {
        const HandlerCommand split = splitHandlerCommand(command, "molb://x");
        EXPECT_FALSE(split.error.isEmpty()) << command;
        EXPECT_TRUE(split.program.isEmpty()) << command;
    }
}

class HandlerLookup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("DBSCOUT_REGISTRY_DIR", m_dir.path().toLocal8Bit());
    }
    void TearDown() override { qunsetenv("DBSCOUT_REGISTRY_DIR"); }

    static void set(const char* key, DWORD type, const std::string& value)
    {
        Dbscout::RegKey command;
        ASSERT_EQ(command.create(HKEY_CLASSES_ROOT, key), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(command.get(), nullptr, 0, type,
                                 reinterpret_cast<const BYTE*>(value.c_str()),
                                 DWORD(value.size() + 1)),
                  ERROR_SUCCESS);
    }

    QTemporaryDir m_dir;
};

TEST_F(HandlerLookup, findsTheCommandOfTheUrlsSchemeAndVerb)
{
    set("molb\\shell\\open\\command", REG_SZ, "\"/opt/molb-handler\" \"%1\"");
    set("molb\\shell\\dir\\command", REG_SZ, "\"/opt/other\" \"%1\"");
    const HandlerCommand command = handlerCommandFor("molb://local/demo/protein/1", "open");
    EXPECT_TRUE(command.error.isEmpty()) << qPrintable(command.error);
    EXPECT_EQ(command.program, "/opt/molb-handler");
    EXPECT_EQ(command.arguments, QStringList{"molb://local/demo/protein/1"});
}

TEST_F(HandlerLookup, saysWhatIsMissing)
{
    set("molb\\shell\\open\\command", REG_DWORD, "abcd");
    struct Case
    {
        const char* url;
        const char* verb;
        const char* error;
    };
    const Case cases[] = {
        {"ncbi://x", "open", "no handler program is registered for \"ncbi\" (verb open)"},
        {"molb://x", "put", "no handler program is registered for \"molb\" (verb put)"},
        {"molb://x", "open", "no handler program is registered for \"molb\" (verb open)"},
        {"no-scheme", "open", "no handler program is registered for \"\" (verb open)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(handlerCommandFor(c.url, c.verb).error, c.error) << c.url << " " << c.verb;
}

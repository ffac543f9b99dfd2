// Display fonts follow the host's per-user and machine-wide settings.

#include "panel/display_fonts.h"
#include "support/test_env.h"

#include <dbscout/registry.h>

#include <QFont>
#include <QFontDatabase>
#include <QTest>

#include <memory>

using DbscoutTest::TestEnv;

namespace {

void setValue(HKEY hive, const char* name, const QByteArray& bytes, DWORD type = REG_SZ)
{
    Dbscout::RegKey key;
    QCOMPARE(key.create(hive, "Software\\KORVALE, INC\\MOLB 10\\Molbench\\directories"),
             ERROR_SUCCESS);
    QCOMPARE(RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                            DWORD(bytes.size())),
             ERROR_SUCCESS);
}

QByteArray str(const char* text)
{
    return QByteArray(text, qsizetype(strlen(text) + 1));
}

} // namespace

class DisplayFontsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> m_env;

private slots:
    void init() { m_env = std::make_unique<TestEnv>(); }
    void cleanup() { m_env.reset(); }

    void defaultFacesAndThePerUserValueOverTheMachines()
    {
        std::string face = "kept";
        QVERIFY(!Dbscout::GetFontFaceName(4, face));
        QVERIFY(!Dbscout::GetFontFaceName(-1, face));
        QCOMPARE(face, std::string("kept"));
        QVERIFY(Dbscout::GetFontFaceName(3, face));
        QCOMPARE(face, std::string("Courier New"));
        QVERIFY(Dbscout::GetFontFaceName(0, face));
        QCOMPARE(face, std::string("Tahoma"));
        setValue(HKEY_LOCAL_MACHINE, "font_table", str("Arial"));
        QVERIFY(Dbscout::GetFontFaceName(0, face));
        QCOMPARE(face, std::string("Arial"));
        setValue(HKEY_CURRENT_USER, "font_table", str("DejaVu Sans"));
        QVERIFY(Dbscout::GetFontFaceName(0, face));
        QCOMPARE(face, std::string("DejaVu Sans"));
    }

    void unusableValuesCountAsMissing()
    {
        const struct
        {
            DWORD type;
            QByteArray bytes;
            const char* expected;
        } cases[] = {
            {REG_DWORD, QByteArray("\x01\0\0\0", 4), "Arial"},
            {REG_SZ, "Verdana", "Arial"},                  // without its zero
            {REG_SZ, QByteArray(64, 'x') + '\0', "Arial"}, // too long for 64 bytes
            {REG_MULTI_SZ, QByteArray("Verdana\0\0", 9), "Verdana"},
            {REG_EXPAND_SZ, str("%FACE%"), "%FACE%"}, // not expanded
            {REG_SZ, str("  Verdana \t"), "Verdana"},
        };
        setValue(HKEY_LOCAL_MACHINE, "font_table", str("Arial"));
        for (const auto& c : cases) {
            setValue(HKEY_CURRENT_USER, "font_table", c.bytes, c.type);
            std::string face;
            QVERIFY(Dbscout::GetFontFaceName(0, face));
            QCOMPARE(face, std::string(c.expected));
        }

        // "<none>" asks for the system font; compared before trimming, with blanks it is a name.
        std::string face;
        setValue(HKEY_CURRENT_USER, "font_text", str("<none>"));
        QVERIFY(!Dbscout::GetFontFaceName(1, face));
        QCOMPARE(face, std::string("Tahoma"));
        setValue(HKEY_CURRENT_USER, "font_text", str(" <none>"));
        QVERIFY(Dbscout::GetFontFaceName(1, face));
        QCOMPARE(face, std::string("<none>"));
    }

    // The cache is per process: each role is built once, so this runs every role's first use.
    void fontsAreBuiltOnceAndShared()
    {
        setValue(HKEY_CURRENT_USER, "font_table", str("Arial"));
        setValue(HKEY_CURRENT_USER, "font_header", str("<none>"));
        const QFont system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);

        const QFont* table = Dbscout::GetDisplayFont(0);
        QVERIFY(table);
        QCOMPARE(table->families().value(0), QString("Arial"));
        QCOMPARE(Dbscout::GetDisplayFont(0), table);

        QCOMPARE(*Dbscout::GetDisplayFont(2), system);
        QVERIFY(!Dbscout::GetDisplayFont(4));
        setValue(HKEY_CURRENT_USER, "font_mono",
                 str("An Extremely Long Face Name Beyond Thirty-One"));
        QCOMPARE(Dbscout::GetDisplayFont(3)->families().value(0),
                 QString("An Extremely Long Face Name Bey"));
    }
};

QTEST_MAIN(DisplayFontsTest)
#include "display_fonts_test.moc"

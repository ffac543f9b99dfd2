// Display fonts follow the host's per-user and machine-wide settings.

#include "panel/display_fonts.h"
#include "support/test_env.h"

#include <dbscout/registry.h>

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QTest>

#include <memory>

using DbscoutTest::TestEnv;

namespace {

constexpr const char* kKey = "Software\\KORVALE, INC\\MOLB 10\\Molbench\\directories";

void setValue(HKEY hive, const char* name, DWORD type, const std::string& bytes)
{
    Dbscout::RegKey key;
    QCOMPARE(key.create(hive, kKey), ERROR_SUCCESS);
    QCOMPARE(RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                            DWORD(bytes.size())),
             ERROR_SUCCESS);
}

std::string str(const char* text)
{
    return std::string(text) + '\0';
}

} // namespace

class DisplayFontsTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> m_env;

private slots:
    void init() { m_env = std::make_unique<TestEnv>(); }
    void cleanup() { m_env.reset(); }

    void defaultFacesWithoutAnyKey()
    {
        std::string face;
        QVERIFY(Dbscout::GetFontFaceName(0, face));
        QCOMPARE(face, std::string("Tahoma"));
        QVERIFY(Dbscout::GetFontFaceName(3, face));
        QCOMPARE(face, std::string("Courier New"));
        face = "kept";
        QVERIFY(!Dbscout::GetFontFaceName(4, face));
        QVERIFY(!Dbscout::GetFontFaceName(-1, face));
        QCOMPARE(face, std::string("kept"));
    }

    void perUserValueWinsOverMachineValue()
    {
        std::string face;
        setValue(HKEY_LOCAL_MACHINE, "font_table", REG_SZ, str("Arial"));
        QVERIFY(Dbscout::GetFontFaceName(0, face));
        QCOMPARE(face, std::string("Arial"));
        setValue(HKEY_CURRENT_USER, "font_table", REG_SZ, str("DejaVu Sans"));
        QVERIFY(Dbscout::GetFontFaceName(0, face));
        QCOMPARE(face, std::string("DejaVu Sans"));
    }

    void unusableValuesCountAsMissing_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("number") << int(REG_DWORD) << QByteArray("\x01\0\0\0", 4) << "Arial";
        QTest::newRow("string without its zero") << int(REG_SZ) << QByteArray("Verdana") << "Arial";
        QTest::newRow("multi-string with one zero")
            << int(REG_MULTI_SZ) << QByteArray("Verdana\0", 8) << "Arial";
        QTest::newRow("too long for 64 bytes")
            << int(REG_SZ) << QByteArray(64, 'x') + QByteArray(1, '\0') << "Arial";
        QTest::newRow("multi-string") << int(REG_MULTI_SZ) << QByteArray("Verdana\0\0", 9)
                                      << "Verdana";
        QTest::newRow("expandable, not expanded")
            << int(REG_EXPAND_SZ) << QByteArray("%FACE%\0", 7) << "%FACE%";
        QTest::newRow("blanks trimmed") << int(REG_SZ) << QByteArray("  Verdana \t\0", 12)
                                        << "Verdana";
    }

    void unusableValuesCountAsMissing()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        setValue(HKEY_LOCAL_MACHINE, "font_table", REG_SZ, str("Arial"));
        setValue(HKEY_CURRENT_USER, "font_table", DWORD(type), bytes.toStdString());
        std::string face;
        QVERIFY(Dbscout::GetFontFaceName(0, face));
        QCOMPARE(QString::fromStdString(face), expected);
    }

    void noneAsksForTheSystemFont()
    {
        std::string face;
        setValue(HKEY_CURRENT_USER, "font_text", REG_SZ, str("<none>"));
        QVERIFY(!Dbscout::GetFontFaceName(1, face));
        QCOMPARE(face, std::string("Tahoma"));
        // Compared before trimming: with blanks it is a face name.
        setValue(HKEY_CURRENT_USER, "font_text", REG_SZ, str(" <none>"));
        QVERIFY(Dbscout::GetFontFaceName(1, face));
        QCOMPARE(face, std::string("<none>"));
    }

    // The cache is per process: each role is built once, so this runs every role's first use.
    void fontsAreBuiltOnceAndShared()
    {
        setValue(HKEY_CURRENT_USER, "font_table", REG_SZ, str("Arial"));
        setValue(HKEY_CURRENT_USER, "font_header", REG_SZ, str("<none>"));
        const QFont system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);

        const QFont* table = Dbscout::GetDisplayFont(0);
        QVERIFY(table);
        QCOMPARE(table->families().value(0), QString("Arial"));
        QCOMPARE(table->pointSizeF(), system.pointSizeF());
        QCOMPARE(table->weight(), system.weight());

        setValue(HKEY_CURRENT_USER, "font_table", REG_SZ, str("Verdana"));
        QCOMPARE(Dbscout::GetDisplayFont(0), table); // looked up once, shared
        QCOMPARE(table->families().value(0), QString("Arial"));

        const QFont* header = Dbscout::GetDisplayFont(2);
        QVERIFY(header);
        QCOMPARE(*header, system);
        QVERIFY(!Dbscout::GetDisplayFont(4));

        setValue(HKEY_CURRENT_USER, "font_mono", REG_SZ,
                 str("An Extremely Long Face Name Beyond Thirty-One"));
        QCOMPARE(Dbscout::GetDisplayFont(3)->families().value(0),
                 QString("An Extremely Long Face Name Bey"));
    }
};

QTEST_MAIN(DisplayFontsTest)
#include "display_fonts_test.moc"

// The demo window's own parts in the demo's world: its menus beside the panel's keys, the hint
// after an NCBI pick, and Settings > Web Sources against what the ncbi handler reads.

#include "demo_world.h"
#include "service_settings.h"
#include "settings_values.h"
#include "web_sources_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>

#include <cstdlib>
#include <functional>

using namespace DemoTest;
using namespace PanelDriving;
using DemoWindowTest = DemoWorld;

namespace {

// Whether the focus is on widget or inside it.
bool hasFocusIn(const QWidget* widget)
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == widget || widget->isAncestorOf(focus));
}

} // namespace

// The panel's Alt keys reach it inside the demo window, every time: no menu of the demo shares
// them (a shared key goes to the one and the other in turn). The File menu is Alt+E; the Filter
// box is also Ctrl+F.
TEST_F(DemoWindowTest, theMenusLeaveThePanelItsAltKeys)
{
    QApplication::setActiveWindow(window.get());
    QWidget* list = panel().control<QWidget>(Dbscout::IDC_LIST);
    list->setFocus();
    const std::pair<Qt::Key, int> mnemonics[] = {
        {Qt::Key_D, Dbscout::IDC_DATASOURCE}, {Qt::Key_N, Dbscout::IDC_NAME},
        {Qt::Key_F, Dbscout::IDC_QUERY},      {Qt::Key_D, Dbscout::IDC_DATASOURCE},
        {Qt::Key_N, Dbscout::IDC_NAME},       {Qt::Key_F, Dbscout::IDC_QUERY}};
    for (const auto& [key, control] : mnemonics) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        EXPECT_FALSE(QApplication::activePopupWidget()) << "a menu took Alt+" << char(key);
        EXPECT_TRUE(hasFocusIn(panel().control<QWidget>(control))) << "Alt+" << char(key);
    }

    auto* queries = panel().control<QComboBox>(Dbscout::IDC_QUERY);
    queries->setEditText("biopython");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(hasFocusIn(queries));
    EXPECT_EQ(queries->lineEdit()->selectedText(), "biopython");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->title(), "Fil&e");
    menu->close();
}

// What the dialog writes is what the handler reads: the user's values over the computer's, a
// text emptied hands the value back to the computer's, and a refused key writes nothing.
TEST_F(DemoWindowTest, webSourcesAreWrittenWhereTheNcbiHandlerReadsThem)
{
    unsetenv("NCBI_API_KEY");
    Dbscout::RegKey computer;
    ASSERT_EQ(computer.create(HKEY_LOCAL_MACHINE, "Software\\Dbscout\\NCBI"), ERROR_SUCCESS);
    ASSERT_TRUE(writeText(computer.get(), "Email", "lab@site.example"));
    ASSERT_TRUE(writeNumber(computer.get(), "TimeoutSeconds", 45));

    const auto edit = [&](const std::function<void(QLineEdit*, QLineEdit*, QSpinBox*)>& fill) {
        window->editWebSources();
        QPointer<WebSourcesDialog> dialog = window->webSourcesDialog();
        fill(dialog->findChild<QLineEdit*>("ApiKey"), dialog->findChild<QLineEdit*>("Email"),
             dialog->findChild<QSpinBox*>("TimeoutSeconds"));
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save),
                          Qt::LeftButton);
        return dialog;
    };

    QPointer<WebSourcesDialog> refused = edit([](QLineEdit* key, QLineEdit* email, QSpinBox*) {
        EXPECT_EQ(key->text(), "");
        EXPECT_EQ(email->text(), "");
        EXPECT_EQ(email->placeholderText(), "lab@site.example"); // the computer's, in force
        key->setText("not a key!");
        email->setText("me@lab.example");
    });
    ASSERT_TRUE(refused && refused->isVisible());
    EXPECT_EQ(refused->findChild<QLabel*>("problem")->text(),
              "An NCBI API key is letters and digits only, as NCBI shows it.");
    EXPECT_EQ(Dbscout::Ncbi::loadServiceSettings().email, "lab@site.example");
    refused->reject();

    edit([](QLineEdit* key, QLineEdit* email, QSpinBox* timeout) {
        EXPECT_EQ(timeout->value(), 45);
        key->setText(" 0123abcdef ");
        email->setText("me@lab.example");
        timeout->setValue(90);
    });
    EXPECT_EQ(status(), "Web sources' settings saved: the next request uses them.");
    Dbscout::Ncbi::ServiceSettings read = Dbscout::Ncbi::loadServiceSettings();
    EXPECT_EQ(read.apiKey, "0123abcdef");
    EXPECT_EQ(read.email, "me@lab.example");
    EXPECT_EQ(read.timeoutSeconds, 90);
    EXPECT_EQ(read.baseAddress, standIn->baseAddress()); // untouched

    edit([](QLineEdit* key, QLineEdit* email, QSpinBox* timeout) {
        EXPECT_EQ(key->text(), "0123abcdef");
        EXPECT_EQ(timeout->value(), 90);
        email->clear();
    });
    read = Dbscout::Ncbi::loadServiceSettings();
    EXPECT_EQ(read.email, "lab@site.example");
    EXPECT_EQ(read.apiKey, "0123abcdef");
    EXPECT_EQ(read.timeoutSeconds, 90);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

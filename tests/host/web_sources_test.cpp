// Settings > Web Sources' EBI tab against what ebi-handler reads: the computer's values shown
// while the user has none, an address that is none refused with nothing written, and the user's
// values stored beside NCBI's without touching them.

#include "ebi_settings.h"
#include "service_settings.h"
#include "settings_values.h"
#include "support/test_env.h"
#include "web_sources_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

namespace {

TEST(WebSourcesDialog, ebiValuesAreWrittenWhereTheEbiHandlerReadsThem)
{
    DbscoutTest::TestEnv env;
    Dbscout::RegKey computer;
    ASSERT_EQ(computer.create(HKEY_LOCAL_MACHINE, "Software\\Dbscout\\EBI"), ERROR_SUCCESS);
    ASSERT_TRUE(writeText(computer.get(), "Email", "lab@site.example"));

    WebSourcesDialog dialog;
    auto* uniprot = dialog.findChild<QLineEdit*>("EbiUniProtAddress");
    auto* email = dialog.findChild<QLineEdit*>("EbiEmail");
    auto* timeout = dialog.findChild<QSpinBox*>("EbiTimeoutSeconds");
    ASSERT_TRUE(uniprot && email && timeout);
    EXPECT_EQ(email->placeholderText(), "lab@site.example"); // the computer's, in force
    EXPECT_EQ(dialog.findChild<QLineEdit*>("Email")->placeholderText(),
              "Where NCBI may write to you about your requests"); // NCBI's field stays its own

    uniprot->setText("ftp://mirror.example/ rest");
    email->setText("me@lab.example");
    dialog.accept();
    EXPECT_EQ(dialog.findChild<QLabel*>("problem")->text(),
              "An address starts with http:// or https:// and holds no blanks.");
    EXPECT_EQ(Dbscout::Ebi::loadEbiSettings().email, "lab@site.example"); // nothing written

    uniprot->setText(" http://mirror.example/rest ");
    timeout->setValue(90);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const Dbscout::Ebi::EbiSettings read = Dbscout::Ebi::loadEbiSettings();
    EXPECT_EQ(read.uniprotAddress, "http://mirror.example/rest/");
    EXPECT_EQ(read.enaAddress, Dbscout::Ebi::kDefaultEnaAddress);
    EXPECT_EQ(read.email, "me@lab.example");
    EXPECT_EQ(read.timeoutSeconds, 90);
    const Dbscout::Ncbi::ServiceSettings ncbi = Dbscout::Ncbi::loadServiceSettings();
    EXPECT_EQ(ncbi.email, "");
    EXPECT_EQ(ncbi.timeoutSeconds, 30);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

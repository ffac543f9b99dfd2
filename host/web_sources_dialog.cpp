#include "web_sources_dialog.h"

#include "settings_values.h"

#include <dbscout/registry.h>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

struct WebSourcesDialog::Setting
{
    const char* value; // its name under the service's key
    const char* label;
    const char* help;
    // A text matches pattern (when given), else the field refuses it with refusal.
    const char* pattern = nullptr;
    const char* refusal = nullptr;
    // A number of seconds, from 1 to maximum (0: the setting is a text).
    int defaultSeconds = 0;
    int maximum = 0;
};

struct WebSourcesDialog::Service
{
    const char* name; // the tab's
    const char* key;  // under HKEY_CURRENT_USER, over the same key of HKEY_LOCAL_MACHINE
    const char* intro;
    std::vector<Setting> settings;
    // Before each field's object name (its value's name): fields of several services stay
    // apart. NCBI's, the first, have none.
    const char* fieldPrefix = "";
};

namespace {

using Setting = WebSourcesDialog::Setting;
using Service = WebSourcesDialog::Service;

constexpr int kWeekSeconds = 7 * 24 * 60 * 60; // the longest time-out a handler takes

// The settings several services share, each with the words of its own service.
Setting email(const char* help)
{
    return {"Email", QT_TRANSLATE_NOOP("WebSourcesDialog", "&E-mail:"), help, "^[^@\\s]+@[^@\\s]+$",
            QT_TRANSLATE_NOOP("WebSourcesDialog",
                              "The e-mail address needs a name, an @ and a domain, without "
                              "blanks.")};
}

// The address of a mirror or local copy of a service; the help shows the public one.
Setting address(const char* value, const char* label, const char* publicAddress)
{
    return {value, label, publicAddress, "^https?://[^\\s\"]+$",
            QT_TRANSLATE_NOOP("WebSourcesDialog",
                              "An address starts with http:// or https:// and holds no blanks.")};
}

Setting timeOut(const char* help)
{
    return {"TimeoutSeconds",
            QT_TRANSLATE_NOOP("WebSourcesDialog", "&Time-out:"),
            help,
            nullptr,
            nullptr,
            30,
            kWeekSeconds};
}

// What each web handler reads (docs/ncbi.md, docs/ebi.md). A service joins with its handler.
const std::vector<Service>& services()
{
    static const std::vector<Service> list = {
        {"NCBI",
         "Software\\Dbscout\\NCBI",
         QT_TRANSLATE_NOOP("WebSourcesDialog",
                           "The NCBI data sources (Nucleotide, Protein, PubMed) ask NCBI's "
                           "E-utilities. NCBI asks every user to bring their own API key, made in "
                           "the settings of an NCBI account: with it NCBI answers 10 requests a "
                           "second instead of 3."),
         {
             {"ApiKey", QT_TRANSLATE_NOOP("WebSourcesDialog", "&API key:"),
              QT_TRANSLATE_NOOP("WebSourcesDialog", "Your own NCBI API key; empty for none"),
              "^[A-Za-z0-9]+$",
              QT_TRANSLATE_NOOP("WebSourcesDialog",
                                "An NCBI API key is letters and digits only, as NCBI shows "
                                "it.")},
             email(QT_TRANSLATE_NOOP("WebSourcesDialog",
                                     "Where NCBI may write to you about your requests")),
             timeOut(QT_TRANSLATE_NOOP("WebSourcesDialog",
                                       "The longest one search or summary may take before it "
                                       "fails")),
         }},
        {"EBI",
         "Software\\Dbscout\\EBI",
         QT_TRANSLATE_NOOP("WebSourcesDialog",
                           "The UniProtKB and ENA data sources ask UniProt's REST service and "
                           "ENA's portal. UniProt asks programs to say whose requests they send: "
                           "your e-mail address goes with every request. The addresses are for a "
                           "mirror or a local copy of the services; empty, the public ones."),
         {
             email(QT_TRANSLATE_NOOP("WebSourcesDialog",
                                     "Where UniProt may write to you about your requests")),
             address("UniProtAddress", QT_TRANSLATE_NOOP("WebSourcesDialog", "&UniProt address:"),
                     "https://rest.uniprot.org/"),
             address("EnaAddress", QT_TRANSLATE_NOOP("WebSourcesDialog", "E&NA address:"),
                     "https://www.ebi.ac.uk/ena/"),
             timeOut(QT_TRANSLATE_NOOP("WebSourcesDialog",
                                       "The longest one search or record may take before it "
                                       "fails")),
         },
         "Ebi"},
    };
    return list;
}

} // namespace

WebSourcesDialog::WebSourcesDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Web Sources"));
    setObjectName(QStringLiteral("WebSourcesDialog"));
    auto* tabs = new QTabWidget;
    for (const Service& service : services())
        tabs->addTab(servicePage(service), QString::fromLatin1(service.name));
    m_problem = new QLabel;
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #b00000"));
    m_problem->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &WebSourcesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &WebSourcesDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
}

QWidget* WebSourcesDialog::servicePage(const Service& service)
{
    auto* page = new QWidget;
    auto* intro = new QLabel(tr(service.intro));
    intro->setWordWrap(true);
    auto* form = new QFormLayout;
    Dbscout::RegKey user;
    Dbscout::RegKey computer;
    user.open(HKEY_CURRENT_USER, service.key, KEY_READ);
    computer.open(HKEY_LOCAL_MACHINE, service.key, KEY_READ);
    for (const Setting& setting : service.settings) {
        Field field{&service, &setting};
        QWidget* edit = nullptr;
        if (setting.maximum > 0) {
            const std::optional<DWORD> own = readNumber(user.get(), setting.value);
            field.stored = own.has_value();
            field.shownNumber =
                int(std::clamp<DWORD>(own.value_or(readNumber(computer.get(), setting.value)
                                                       .value_or(DWORD(setting.defaultSeconds))),
                                      1, DWORD(setting.maximum)));
            field.number = new QSpinBox;
            field.number->setRange(1, setting.maximum);
            field.number->setSuffix(tr(" seconds"));
            field.number->setValue(field.shownNumber);
            edit = field.number;
        } else {
            const std::optional<std::string> own = readText(user.get(), setting.value);
            field.stored = own.has_value();
            field.text = new QLineEdit(QString::fromLocal8Bit(own.value_or(std::string())));
            // The computer's value, in force while the user's is empty.
            const std::optional<std::string> shared = readText(computer.get(), setting.value);
            field.text->setPlaceholderText(
                shared && !shared->empty() ? QString::fromLocal8Bit(*shared) : tr(setting.help));
            edit = field.text;
        }
        edit->setObjectName(QString::fromLatin1(service.fieldPrefix) +
                            QString::fromLatin1(setting.value));
        edit->setToolTip(tr(setting.help));
        edit->setMinimumWidth(320);
        form->addRow(tr(setting.label), edit);
        m_fields.push_back(field);
    }
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addStretch();
    return page;
}

void WebSourcesDialog::accept()
{
    // Nothing is written while any field is refused.
    for (const Field& field : m_fields) {
        if (const QString refused = refusal(field); !refused.isEmpty()) {
            m_problem->setText(refused);
            m_problem->show();
            field.text->setFocus();
            field.text->selectAll();
            return;
        }
    }
    QStringList failed;
    for (const Field& field : m_fields) {
        if (const QString problem = write(field); !problem.isEmpty())
            failed << problem;
    }
    if (!failed.isEmpty()) {
        m_problem->setText(tr("The settings store did not take %1. Check that its folder can be "
                              "written, then save again.")
                               .arg(failed.join(QStringLiteral(", "))));
        m_problem->show();
        return;
    }
    QDialog::accept();
}

QString WebSourcesDialog::refusal(const Field& field) const
{
    if (!field.text || !field.setting->pattern)
        return {};
    const QString text = field.text->text().trimmed();
    if (text.isEmpty() ||
        QRegularExpression(QString::fromLatin1(field.setting->pattern)).match(text).hasMatch())
        return {};
    return tr(field.setting->refusal);
}

QString WebSourcesDialog::write(const Field& field) const
{
    const char* value = field.setting->value;
    const QString name = QStringLiteral("%1 %2").arg(QString::fromLatin1(field.service->name),
                                                     QString::fromLatin1(value));
    Dbscout::RegKey key;
    if (field.number) {
        if (!field.stored && field.number->value() == field.shownNumber)
            return {};
        const bool written = key.create(HKEY_CURRENT_USER, field.service->key) == ERROR_SUCCESS &&
                             writeNumber(key.get(), value, DWORD(field.number->value()));
        return written ? QString() : name;
    }
    const std::string text = field.text->text().trimmed().toLocal8Bit().toStdString();
    if (text.empty()) {
        // The computer's value, or the handler's default, applies again.
        if (!field.stored)
            return {};
        const bool removed =
            key.open(HKEY_CURRENT_USER, field.service->key, KEY_SET_VALUE) == ERROR_SUCCESS &&
            RegDeleteValueA(key.get(), value) == ERROR_SUCCESS;
        return removed ? QString() : name;
    }
    const bool written = key.create(HKEY_CURRENT_USER, field.service->key) == ERROR_SUCCESS &&
                         writeText(key.get(), value, text);
    return written ? QString() : name;
}

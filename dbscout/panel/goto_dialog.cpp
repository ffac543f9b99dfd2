#include "panel/goto_dialog.h"

#include "platform/modal.h"
#include "resources/strings.h"
#include "resources/texts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <cstdio>

namespace Dbscout {

namespace {

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

QLineEdit* makeEdit(int id, int value)
{
    auto* edit = new QLineEdit(QString::number(value));
    edit->setObjectName(QString::number(id));
    return edit;
}

// The standard refusal, shown as any data-entry check of the host would show it.
void refuse(QWidget* owner, const QString& text)
{
    ModalUi::current().messageBox(owner, QMessageBox::Warning,
                                  QApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

} // namespace

CGotoDlg::CGotoDlg(int start, int pageSize, int total, QWidget* parent)
    : QDialog(parent), m_edStart(makeEdit(IDC_GOTO_START, start)),
      m_edPageSize(makeEdit(IDC_GOTO_PAGE_SIZE, pageSize)), m_nStart(start), m_nPageSize(pageSize)
{
    setObjectName(QString::number(IDD_GOTO));
    setWindowTitle(QString::fromUtf8(Texts::GoToCaption));

    char totalText[200];
    std::snprintf(totalText, sizeof totalText, LoadString(IDS_OBJECTS_IN_RESULTS).c_str(), total);
    auto* totalLabel = new QLabel(QString::fromLocal8Bit(totalText));
    totalLabel->setObjectName(QString::number(IDC_GOTO_TOTAL));

    auto* fields = new QFormLayout;
    fields->addRow(QString::fromUtf8(Texts::GoToStartLabel), m_edStart);
    fields->addRow(QString::fromUtf8(Texts::GoToPageSizeLabel), m_edPageSize);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(QString::fromUtf8(Texts::Ok));
    ok->setObjectName(QString::number(IDOK));
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setText(QString::fromUtf8(Texts::Cancel));
    cancel->setObjectName(QString::number(IDCANCEL));
    connect(buttons, &QDialogButtonBox::accepted, this, &CGotoDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(totalLabel);
    layout->addWidget(buttons);
}

bool CGotoDlg::takeValue(QLineEdit* edit, long min, long max, int& value)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^\\s*[+-]?[0-9]+\\s*$"));
    const QString text = edit->text();
    bool inRange = false;
    if (!wholeNumber.match(text).hasMatch()) {
        refuse(this, tr("Please enter an integer."));
    } else {
        bool fits = false;
        const qlonglong number = text.trimmed().toLongLong(&fits);
        inRange = fits && number >= min && number <= max;
        if (inRange)
            value = int(number);
        else
            refuse(this, tr("Please enter an integer between %1 and %2.").arg(min).arg(max));
    }
    if (!inRange) {
        edit->setFocus();
        edit->selectAll();
    }
    return inRange;
}

void CGotoDlg::accept()
{
    int start = 0;
    int pageSize = 0;
    if (!takeValue(m_edStart, kMinStart, kMaxStart, start) ||
        !takeValue(m_edPageSize, kMinPageSize, kMaxPageSize, pageSize))
        return;
    m_nStart = start;
    m_nPageSize = pageSize;
    QDialog::accept();
}

bool RunGotoDialog(QWidget* parent, int& pageStart, int& pageSize, int total)
{
    CGotoDlg dialog(pageStart, pageSize, total, parent);
    if (ModalUi::current().exec(&dialog) != QDialog::Accepted)
        return false;
    pageStart = dialog.start();
    pageSize = dialog.pageSize();
    return true;
}

} // namespace Dbscout

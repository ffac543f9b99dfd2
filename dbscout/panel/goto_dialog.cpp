#include "panel/goto_dialog.h"

#include "platform/modal.h"
#include "resources/strings.h"
#include "resources/texts.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <cstdio>

namespace Dbscout {

namespace {

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
    : CModalDialog(parent, IDD_GOTO), m_startEdit(makeEdit(IDC_GOTO_START, start)),
      m_pageSizeEdit(makeEdit(IDC_GOTO_PAGE_SIZE, pageSize)), m_start(start), m_pageSize(pageSize)
{
    setWindowTitle(QString::fromUtf8(Texts::GoToCaption));

    char totalText[200];
    std::snprintf(totalText, sizeof totalText, LoadString(IDS_OBJECTS_IN_RESULTS).c_str(), total);
    auto* totalLabel = new QLabel(QString::fromLocal8Bit(totalText));
    totalLabel->setObjectName(QString::number(IDC_GOTO_TOTAL));

    auto* fields = new QFormLayout;
    fields->addRow(QString::fromUtf8(Texts::GoToStartLabel), m_startEdit);
    fields->addRow(QString::fromUtf8(Texts::GoToPageSizeLabel), m_pageSizeEdit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(totalLabel);
    layout->addLayout(makeButtonRow(Texts::Ok, Texts::Cancel));
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

bool CGotoDlg::OnOK()
{
    int start = 0;
    int pageSize = 0;
    if (!takeValue(m_startEdit, kMinStart, kMaxStart, start) ||
        !takeValue(m_pageSizeEdit, kMinPageSize, kMaxPageSize, pageSize))
        return false;
    m_start = start;
    m_pageSize = pageSize;
    return true;
}

bool runGotoDialog(QWidget* parent, int& pageStart, int& pageSize, int total)
{
    CGotoDlg dialog(pageStart, pageSize, total, parent);
    if (dialog.doModal() != QDialog::Accepted)
        return false;
    pageStart = dialog.start();
    pageSize = dialog.pageSize();
    return true;
}

} // namespace Dbscout

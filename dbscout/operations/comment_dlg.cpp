#include "operations/comment_dlg.h"

#include "platform/modal.h"
#include "resources/ids.h"
#include "resources/texts.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace Dbscout {

namespace {

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QChar::ParagraphSeparator;
}

QString tooLongMessage(int limit)
{
    if (limit == 0)
        return QStringLiteral("The request leaves no room for a comment: leave the comment empty.");
    return QStringLiteral("The comment is too long: enter no more than %1 characters, "
                          "counting a line break as two.")
        .arg(limit);
}

} // namespace

int commentLength(const QString& text)
{
    return int(text.size() + std::count_if(text.begin(), text.end(), isLineBreak));
}

CCommentDlg::CCommentDlg(QWidget* parent) : CModalDialog(parent, IDD_COMMENT)
{
    setWindowTitle(QString::fromLocal8Bit(Texts::CommentCaption));
    m_edit = new QPlainTextEdit(this);
    m_edit->setObjectName(QString::number(IDC_COMMENT_TEXT));
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_edit->setTabChangesFocus(true);
    connect(m_edit->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { cutTypedExcess(position, added); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addLayout(makeButtonRow(Texts::OkMnemonic, Texts::CancelMnemonic));
    resize(360, 200);
}

void CCommentDlg::OnInitDialog()
{
    setWindowTitle(QString::fromLocal8Bit(Texts::CommentCaption + captionSuffix));
    // The text given by the caller is shown as it is; only typing is held to the limit.
    m_filling = true;
    m_edit->setPlainText(
        QString::fromLocal8Bit(comment).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    m_filling = false;
    m_edit->setFocus();
}

bool CCommentDlg::OnOK()
{
    const QString text = m_edit->toPlainText();
    if (commentLength(text) > limit()) {
        std::string message = tooLongMessage(limit()).toLocal8Bit().toStdString();
        ShowError(this, message);
        m_edit->setFocus();
        return false;
    }
    comment =
        QString(text).replace(QLatin1Char('\n'), QLatin1String("\r\n")).toLocal8Bit().toStdString();
    return true;
}

int CCommentDlg::limit() const
{
    return std::max(maxChars, 0);
}

void CCommentDlg::cutTypedExcess(int position, int added)
{
    if (m_filling || added <= 0)
        return;
    QTextDocument* document = m_edit->document();
    int excess = commentLength(document->toPlainText()) - limit();
    int cutFrom = position + added;
    while (excess > 0 && cutFrom > position) {
        --cutFrom;
        excess -= isLineBreak(document->characterAt(cutFrom)) ? 2 : 1;
    }
    if (cutFrom == position + added)
        return;
    QTextCursor cursor(document);
    cursor.setPosition(cutFrom);
    cursor.setPosition(position + added, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

} // namespace Dbscout

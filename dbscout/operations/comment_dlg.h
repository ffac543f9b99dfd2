#pragma once
// The comment of a check in or check out (dialog 6931). The comment travels inside the request,
// so the caller limits its length to what the request leaves room for.

#include "platform/modal_dialog.h"

#include <string>

class QPlainTextEdit;

namespace Dbscout {

class CCommentDlg final : public CModalDialog
{
    Q_OBJECT
public:
    explicit CCommentDlg(QWidget* parent = nullptr);

    // Shown when the dialog opens, read back on OK; line breaks as "\r\n".
    std::string comment;
    // The most characters the comment may have, a line break counting two. Typing stops there,
    // and OK refuses a longer text that was put in before. Zero or less leaves no room: only an
    // empty comment is accepted.
    int maxChars = 2048;
    // Appended to the caption when the dialog opens.
    std::string captionSuffix;

protected:
    void OnInitDialog() override;
    bool OnOK() override;

private:
    int limit() const;
    void cutTypedExcess(int position, int added);

    QPlainTextEdit* m_edit;
    bool m_filling = false;
};

// The length of text as the limit counts it: one per character, two per line break.
int commentLength(const QString& text);

} // namespace Dbscout

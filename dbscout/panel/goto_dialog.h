#pragma once
// The Go-to dialog: where the listing starts and how many objects a page holds, with the total
// of the last listing for orientation. OK refuses a value that is not a whole number or lies
// outside its bounds with a message naming the bounds, and the dialog stays open on that field.

#include "platform/modal_dialog.h"

class QLineEdit;

namespace Dbscout {

class CGotoDlg final : public CModalDialog
{
    Q_OBJECT
public:
    static constexpr long kMinStart = 0;
    static constexpr long kMaxStart = 2147483647;
    static constexpr long kMinPageSize = 1;
    static constexpr long kMaxPageSize = 120;

    CGotoDlg(int start, int pageSize, int total, QWidget* parent = nullptr);

    // The accepted values; as given until OK succeeds.
    int start() const { return m_start; }
    int pageSize() const { return m_pageSize; }

protected:
    bool OnOK() override;

private:
    // The edit's value within [min, max]; otherwise shows the refusal, puts the focus on the
    // edit and returns false.
    bool takeValue(QLineEdit* edit, long min, long max, int& value);

    QLineEdit* m_startEdit;
    QLineEdit* m_pageSizeEdit;
    int m_start;
    int m_pageSize;
};

// The panel's Go to command: runs the dialog through the modal seam; on OK stores its values in
// pageStart and pageSize and returns true. Cancel changes nothing.
bool runGotoDialog(QWidget* parent, int& pageStart, int& pageSize, int total);

} // namespace Dbscout

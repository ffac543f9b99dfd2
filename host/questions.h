#pragma once
// The demo's own questions to the user (may an object be replaced?) go through one seam, as the
// panel's message boxes go through the panel's, so that a test answers them without a window.

#include <QString>

class QWidget;

class Questions
{
public:
    virtual ~Questions();

    // Asks a yes-or-no question in a modal box owned by owner; true for Yes.
    virtual bool askYesNo(QWidget* owner, const QString& caption, const QString& text);

    // The seam in force; the default shows a real message box.
    static Questions& current();
    // Replaces the seam; null restores the default. The caller keeps ownership.
    static void install(Questions* questions);
};

#pragma once
// The two pages of the Options dialog. Each page shows the values it was given, enables its
// controls by the server version (older servers know no descendant handling), and takes every
// click into its values at once, so the values are current whichever page shows at OK.

#include <QWidget>

#include <initializer_list>

class QButtonGroup;
class QCheckBox;
class QVBoxLayout;

namespace Dbscout {

// "Check In/Out": automatic check-out on open and check-in on save, each with its descendants.
class COptionsCheckoutPP final : public QWidget
{
    Q_OBJECT
public:
    struct Values
    {
        bool checkoutOnOpen = false;
        bool checkoutDesc = false;
        bool checkinOnSave = false;
        bool checkinDesc = false;
    };

    // Version 3 or higher enables all four boxes, version 2 only the two automatic ones, lower
    // versions none.
    COptionsCheckoutPP(const Values& values, int serverVersion, QWidget* parent = nullptr);

    const Values& values() const { return m_values; }

private:
    void addCheck(QVBoxLayout* layout, int id, const char* text, bool Values::*field, bool enabled);

    Values m_values;
};

// "Save": what happens to existing descendants of a saved object. A group's value is the index,
// in dialog order, of its checked button.
class COptionsSavePP final : public QWidget
{
    Q_OBJECT
public:
    // Below version 3 every button is disabled. A value that names no button checks none and is
    // kept until the user picks one.
    COptionsSavePP(int recalcDesc, int leaveOnError, int serverVersion, QWidget* parent = nullptr);

    int recalcDesc() const { return m_recalcDesc; }
    int leaveOnError() const { return m_leaveOnError; }

private:
    struct Choice
    {
        int id;
        const char* text;
    };
    void addGroup(QVBoxLayout* layout, const char* title, std::initializer_list<Choice> choices,
                  int& value, bool enabled);

    int m_recalcDesc;
    int m_leaveOnError;
};

} // namespace Dbscout

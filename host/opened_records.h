#pragma once
// The records the user opened last, one shown at a time: a multi-selection opens them all, and
// the bar above the view moves between them (Previous, Next, or a record picked by its name).
// The bar shows only when there is more than one.

#include "record.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <string>
#include <vector>

class ObjectView;
class QComboBox;
class QLabel;
class QToolButton;

struct OpenedObject
{
    QString name;
    QByteArray bytes;
    ObjectRecord record;
    std::string origin; // its address when it is not in the local store
};

class OpenedRecords final : public QWidget
{
    Q_OBJECT

public:
    explicit OpenedRecords(QWidget* parent = nullptr);

    ObjectView* view() const { return m_view; }
    // Forgets the records; the view keeps what it shows until the next one comes.
    void clear();
    // Adds a record; the first one added after clear() is shown.
    void add(OpenedObject object);
    int count() const { return int(m_objects.size()); }
    int currentIndex() const { return m_current; }
    const OpenedObject* current() const;
    void showAt(int index);
    QToolButton* nextButton() const { return m_next; }
    QToolButton* previousButton() const { return m_previous; }
    QComboBox* names() const { return m_names; }

signals:
    void currentChanged();

private:
    void updateBar();

    ObjectView* m_view = nullptr;
    QWidget* m_bar = nullptr;
    QToolButton* m_previous = nullptr;
    QToolButton* m_next = nullptr;
    QComboBox* m_names = nullptr;
    QLabel* m_position = nullptr;
    std::vector<OpenedObject> m_objects;
    int m_current = -1;
};

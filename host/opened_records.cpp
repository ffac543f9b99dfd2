#include "opened_records.h"

#include "object_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

OpenedRecords::OpenedRecords(QWidget* parent) : QWidget(parent)
{
    m_bar = new QWidget;
    m_previous = new QToolButton;
    m_previous->setArrowType(Qt::LeftArrow);
    m_previous->setToolTip(tr("Previous record (Alt+Up)"));
    m_previous->setShortcut(QKeySequence(tr("Alt+Up")));
    m_next = new QToolButton;
    m_next->setArrowType(Qt::RightArrow);
    m_next->setToolTip(tr("Next record (Alt+Down)"));
    m_next->setShortcut(QKeySequence(tr("Alt+Down")));
    m_names = new QComboBox;
    m_names->setToolTip(tr("The records opened together"));
    m_names->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_position = new QLabel;
    auto* bar = new QHBoxLayout(m_bar);
    bar->setContentsMargins(4, 2, 4, 2);
    bar->addWidget(m_previous);
    bar->addWidget(m_names);
    bar->addWidget(m_next);
    bar->addWidget(m_position);
    bar->addStretch();
    m_bar->hide();

    m_view = new ObjectView;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_bar);
    layout->addWidget(m_view, 1);

    connect(m_previous, &QToolButton::clicked, this, [this] { showAt(m_current - 1); });
    connect(m_next, &QToolButton::clicked, this, [this] { showAt(m_current + 1); });
    connect(m_names, &QComboBox::activated, this, &OpenedRecords::showAt);
}

void OpenedRecords::clear()
{
    m_objects.clear();
    m_current = -1;
    m_names->clear();
    updateBar();
}

void OpenedRecords::add(OpenedObject object)
{
    m_names->addItem(object.name);
    m_objects.push_back(std::move(object));
    if (m_current < 0)
        showAt(0);
    else
        updateBar();
}

const OpenedObject* OpenedRecords::current() const
{
    return m_current >= 0 ? &m_objects[size_t(m_current)] : nullptr;
}

void OpenedRecords::showAt(int index)
{
    if (index < 0 || index >= count())
        return;
    m_current = index;
    m_view->showRecord(m_objects[size_t(index)].record);
    updateBar();
    emit currentChanged();
}

void OpenedRecords::updateBar()
{
    m_bar->setVisible(count() > 1);
    m_names->setCurrentIndex(m_current);
    m_previous->setEnabled(m_current > 0);
    m_next->setEnabled(m_current + 1 < count());
    m_position->setText(tr("%1 of %2").arg(m_current + 1).arg(count()));
}

#pragma once
// A panel embedded in a host window, in a private settings store with the test handler
// registered for molb, driven the way a user drives it.

#include "panel/scout_panel.h"
#include "support/handler_registration.h"
#include "support/scripted_modal.h"
#include "support/test_env.h"

#include <dbscout/dbscout.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDebug>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QTreeWidget>

#include <memory>
#include <string>
#include <vector>

namespace DbscoutTest {

// A host window that records the panel's item-selected messages and, like a real host, asks
// for the object URL while handling each.
class RecordingHost final : public QWidget
{
public:
    struct Pick
    {
        WPARAM wParam;
        LPARAM lParam;
        bool gotUrl;
        std::string url, name;
    };
    CDbscout* panel = nullptr;
    std::vector<Pick> picks;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::Type(UM_DBSCOUT_ITEM_SELECTED))
            return QWidget::event(event);
        auto* message = static_cast<Dbscout::MessageEvent*>(event);
        Pick pick{message->wParam, message->lParam, false, {}, {}};
        int flag = 0;
        pick.gotUrl = panel && panel->GetURL(pick.url, flag, pick.name);
        picks.push_back(pick);
        return true;
    }
};

// An address whose requests the test handler answers with fixture NAME; extra handler
// parameters ("testmode=hang&") go in front of it.
inline std::string fixtureAddress(const std::string& fixture, const std::string& extra = {})
{
    return "molb://test/" + extra + "fixture=" + fixture + "&/db";
}

inline QStringList itemTexts(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

inline void setRegString(HKEY key, const char* name, const std::string& value)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD(value.size() + 1));
}

inline void setRegNumber(HKEY key, const char* name, DWORD value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

class PanelHarness
{
public:
    // A host window with a panel in open or save mode; settingsKey "" gives the panel none.
    explicit PanelHarness(bool openMode = true, int dataType = 0,
                          const std::string& settingsKey = "Software\\PanelTest")
    {
        qputenv("DBSCOUT_TEST_HANDLER_LOG", QByteArray::fromStdString(m_logPath));
        registerTestHandler("molb", "dir");
        registerTestHandler("ncbi", "dir");
        // The host suite's icon for its data sources; the panel lists sources only with one.
        const std::string icon = m_env->file("host-icon.png");
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::darkCyan);
        pixmap.save(QString::fromStdString(icon));
        Dbscout::RegKey key;
        key.create(HKEY_CURRENT_USER,
                   "Software\\KORVALE, INC\\MOLB 10\\Data Sources\\MolbLight\\DefaultIcon");
        setRegString(key.get(), nullptr, icon + ",0");
        if (!settingsKey.empty())
            RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &m_settings, nullptr);
        create(openMode, dataType);
    }
    ~PanelHarness()
    {
        destroy();
        if (m_settings)
            RegCloseKey(m_settings);
        qunsetenv("DBSCOUT_TEST_HANDLER_LOG");
    }

    // Builds another panel in the same store (after destroy()).
    void create(bool openMode = true, int dataType = 0, const char* initial = "", int lockName = 0,
                int initialIsName = 0)
    {
        m_host = std::make_unique<RecordingHost>();
        m_host->resize(900, 600);
        m_host->show();
        QApplication::setActiveWindow(m_host.get());
        InitScoutpaneDLL();
        m_panel = CreateScoutpane(initial, m_settings, openMode ? 1 : 0, dataType, lockName,
                                  initialIsName);
        m_host->panel = m_panel;
        m_panel->Create(m_host.get(), QRect(0, 0, 900, 600), 1, WS_CHILD | WS_VISIBLE);
        // The panel is built from the first size the window gets once it shows.
        if (!QTest::qWaitFor([this] { return list() != nullptr; }, 5000))
            qWarning("the panel was not built within 5 seconds of its first size");
    }
    // The host deletes its window, which destroys the panel's window and saves its settings.
    void destroy()
    {
        m_host.reset();
        m_panel = nullptr;
    }

    CDbscout* dbscout() const { return m_panel; }
    RecordingHost* host() const { return m_host.get(); }
    QWidget* control(int id) const { return m_panel->findChild<QWidget*>(QString::number(id)); }
    QComboBox* sourceBox() const { return qobject_cast<QComboBox*>(control(6913)); }
    QComboBox* queryBox() const { return qobject_cast<QComboBox*>(control(6914)); }
    QTreeWidget* list() const { return qobject_cast<QTreeWidget*>(control(6996)); }
    QLineEdit* nameBox() const { return qobject_cast<QLineEdit*>(control(6999)); }
    QLabel* status() const { return qobject_cast<QLabel*>(control(6909)); }
    ScriptedModal& modal() { return *m_modal; }
    TestEnv& env() { return *m_env; }
    HKEY settingsKey() const { return m_settings; }

    void typeSource(const std::string& address) { retype(sourceBox()->lineEdit(), address); }
    void typeQuery(const std::string& text) { retype(queryBox()->lineEdit(), text); }
    void command(int id) { m_panel->panel()->OnCommand(id); } // as keys and menus send it
    void pressGo() { QTest::mouseClick(control(6901), Qt::LeftButton); }
    // Types the address (and the query unless empty), presses Go and waits for the list.
    bool go(const std::string& address, const std::string& query = {}, int timeoutMs = 10000)
    {
        typeSource(address);
        if (!query.empty())
            typeQuery(query);
        pressGo();
        return waitForListing(timeoutMs);
    }
    // Waits until no "Downloading..." row is left; false on time-out.
    bool waitForListing(int timeoutMs = 10000)
    {
        QTest::qWait(10);
        return QTest::qWaitFor([this] { return columnTexts() != QStringList{"Downloading..."}; },
                               timeoutMs);
    }
    bool waitForSubsets(int count) const
    {
        return QTest::qWaitFor([&] { return queryBox()->count() == count; }, 10000);
    }

    // Chooses the entry with text from the box's list, as the user does with the mouse.
    void pick(QComboBox* box, const QString& text)
    {
        if (!QTest::qWaitFor([&] { return box->findText(text) >= 0; }, 10000))
            qWarning() << "no entry" << text;
        const int row = box->findText(text);
        box->showPopup();
        // The popup takes no click until the one that opened it can no longer end as a choice.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QAbstractItemView* view = box->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(row, 0)).center());
    }

    void clickHeader(int column)
    {
        QHeaderView* header = list()->header();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
    }
    void clickRow(int row, Qt::KeyboardModifiers modifiers = {},
                  Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(list()->viewport(), button, modifiers, rowCentre(row));
        QTest::qWait(20); // the name box follows once the view has updated its selection
    }
    void doubleClickRow(int row, Qt::MouseButton button = Qt::LeftButton)
    {
        clickRow(row, {}, button);
        QTest::mouseDClick(list()->viewport(), button, {}, rowCentre(row));
    }
    // Selects exactly the rows named; returns how many were found.
    int select(const QStringList& names)
    {
        int found = 0;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = list()->topLevelItem(i);
            item->setSelected(names.contains(item->text(0)));
            found += item->isSelected();
        }
        return found;
    }

    // The argument lines the test handler received, in order; only those with start= if listings.
    QStringList handlerCalls(bool listings = false) const
    {
        QFile log(QString::fromStdString(m_logPath));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        const QStringList calls =
            QString::fromLocal8Bit(log.readAll()).split('\n', Qt::SkipEmptyParts);
        return listings ? calls.filter("start=") : calls;
    }
    QStringList columnTexts(int column = 0) const
    {
        QStringList texts;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            texts << list()->topLevelItem(i)->text(column);
        return texts;
    }

private:
    static void retype(QLineEdit* edit, const std::string& text)
    {
        edit->setFocus();
        edit->selectAll();
        if (text.empty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, QString::fromStdString(text));
    }
    QPoint rowCentre(int row) const
    {
        return list()->visualItemRect(list()->topLevelItem(row)).center();
    }

    std::unique_ptr<TestEnv> m_env = std::make_unique<TestEnv>();
    std::unique_ptr<ScriptedModal> m_modal = std::make_unique<ScriptedModal>();
    std::unique_ptr<RecordingHost> m_host;
    std::string m_logPath = m_env->file("handler.log");
    HKEY m_settings = nullptr;
    CDbscout* m_panel = nullptr;
};

} // namespace DbscoutTest

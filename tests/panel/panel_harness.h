#pragma once
// A panel embedded in a host window, in a private settings store with the test handler
// registered for molb, driven the way a user drives it.

#include "support/scripted_modal.h"
#include "support/test_env.h"

#include <dbscout/dbscout.h>

#include <QStringList>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

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
    bool event(QEvent* event) override;
};

// An address whose requests the test handler answers with fixture NAME; extra handler
// parameters ("testmode=hang&") go in front of it.
std::string fixtureAddress(const std::string& fixture, const std::string& extra = {});
QStringList itemTexts(const QComboBox* box);
void setRegString(HKEY key, const char* name, const std::string& value);
void setRegNumber(HKEY key, const char* name, DWORD value);

class PanelHarness
{
public:
    // A host window with a panel in open or save mode; settingsKey "" gives the panel none.
    explicit PanelHarness(bool openMode = true, int dataType = 0,
                          const std::string& settingsKey = "Software\\PanelTest");
    ~PanelHarness();

    // Builds another panel in the same store (after destroy()).
    void create(bool openMode = true, int dataType = 0, const char* initial = "");
    void destroy();

    CDbscout* dbscout() const { return m_panel; }
    RecordingHost* host() const { return m_host.get(); }
    QComboBox* sourceBox() const;
    QComboBox* queryBox() const;
    QTreeWidget* list() const;
    QLineEdit* nameBox() const;
    QLabel* status() const;
    QWidget* control(int id) const;
    ScriptedModal& modal() { return *m_modal; }
    TestEnv& env() { return *m_env; }
    HKEY settingsKey() const { return m_settings; }

    void typeSource(const std::string& address);
    void typeQuery(const std::string& text);
    void command(int id); // as the panel's keys and menus send it
    void pressGo();
    // Types the address (and the query unless empty), presses Go and waits for the list.
    bool go(const std::string& address, const std::string& query = {}, int timeoutMs = 10000);
    // Waits until no "Downloading..." row is left; false on time-out.
    bool waitForListing(int timeoutMs = 10000);
    bool waitForSubsets(int count) const;

    void clickHeader(int column);
    void clickRow(int row, Qt::KeyboardModifiers modifiers = {});
    void doubleClickRow(int row);
    // Selects exactly the rows named; returns how many were found.
    int select(const QStringList& names);

    // The argument lines the test handler received, in order; with listings, only those with start=.
    QStringList handlerCalls(bool listings = false) const;
    QStringList columnTexts(int column = 0) const;

private:
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<ScriptedModal> m_modal;
    std::unique_ptr<RecordingHost> m_host;
    std::string m_logPath;
    HKEY m_settings = nullptr;
    CDbscout* m_panel = nullptr;
};

} // namespace DbscoutTest

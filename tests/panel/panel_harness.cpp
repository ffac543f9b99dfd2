#include "panel_harness.h"

#include "panel/scout_panel.h"
#include "support/handler_registration.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QTreeWidget>

namespace DbscoutTest {

bool RecordingHost::event(QEvent* event)
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

std::string fixtureAddress(const std::string& fixture, const std::string& extra)
{
    return "molb://test/" + extra + "fixture=" + fixture + "&/db";
}

QStringList itemTexts(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

void setRegString(HKEY key, const char* name, const std::string& value)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD(value.size() + 1));
}

void setRegNumber(HKEY key, const char* name, DWORD value)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

PanelHarness::PanelHarness(bool openMode, int dataType, const std::string& settingsKey)
    : m_env(std::make_unique<TestEnv>()), m_modal(std::make_unique<ScriptedModal>())
{
    m_logPath = m_env->file("handler.log");
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

PanelHarness::~PanelHarness()
{
    destroy();
    if (m_settings)
        RegCloseKey(m_settings);
    qunsetenv("DBSCOUT_TEST_HANDLER_LOG");
}

void PanelHarness::create(bool openMode, int dataType, const char* initial)
{
    m_host = std::make_unique<RecordingHost>();
    m_host->resize(900, 600);
    m_host->show();
    QApplication::setActiveWindow(m_host.get());
    InitScoutpaneDLL();
    m_panel = CreateScoutpane(initial, m_settings, openMode ? 1 : 0, dataType, 0, 0);
    m_host->panel = m_panel;
    m_panel->Create(m_host.get(), QRect(0, 0, 900, 600), 1, WS_CHILD | WS_VISIBLE);
    // The panel is built from the first size the window gets once it shows.
    if (!QTest::qWaitFor([this] { return control(6996) != nullptr; }, 5000))
        qWarning("the panel was not built within 5 seconds of its first size");
}

void PanelHarness::destroy()
{
    // The host deletes its window, which destroys the panel's window and saves its settings.
    m_host.reset();
    m_panel = nullptr;
}

QWidget* PanelHarness::control(int id) const
{
    return m_panel->findChild<QWidget*>(QString::number(id));
}

QComboBox* PanelHarness::sourceBox() const { return qobject_cast<QComboBox*>(control(6913)); }
QComboBox* PanelHarness::queryBox() const { return qobject_cast<QComboBox*>(control(6914)); }
QTreeWidget* PanelHarness::list() const { return qobject_cast<QTreeWidget*>(control(6996)); }
QLineEdit* PanelHarness::nameBox() const { return qobject_cast<QLineEdit*>(control(6999)); }
QLabel* PanelHarness::status() const { return qobject_cast<QLabel*>(control(6909)); }

static void retype(QLineEdit* edit, const std::string& text)
{
    edit->setFocus();
    edit->selectAll();
    if (text.empty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        QTest::keyClicks(edit, QString::fromStdString(text));
}

void PanelHarness::typeSource(const std::string& address) { retype(sourceBox()->lineEdit(), address); }
void PanelHarness::typeQuery(const std::string& text) { retype(queryBox()->lineEdit(), text); }
void PanelHarness::command(int id) { m_panel->panel()->OnCommand(id); }
void PanelHarness::pressGo() { QTest::mouseClick(control(6901), Qt::LeftButton); }

bool PanelHarness::go(const std::string& address, const std::string& query, int timeoutMs)
{
    typeSource(address);
    if (!query.empty())
        typeQuery(query);
    pressGo();
    return waitForListing(timeoutMs);
}

bool PanelHarness::waitForListing(int timeoutMs)
{
    QTest::qWait(10);
    return QTest::qWaitFor([this] { return columnTexts() != QStringList{"Downloading..."}; },
                           timeoutMs);
}

bool PanelHarness::waitForSubsets(int count) const
{
    return QTest::qWaitFor([&] { return queryBox()->count() == count; }, 10000);
}

void PanelHarness::clickHeader(int column)
{
    QHeaderView* header = list()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
}

void PanelHarness::clickRow(int row, Qt::KeyboardModifiers modifiers)
{
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers,
                      list()->visualItemRect(list()->topLevelItem(row)).center());
    QTest::qWait(20); // the name box follows once the view has updated its selection
}

void PanelHarness::doubleClickRow(int row)
{
    clickRow(row);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {},
                       list()->visualItemRect(list()->topLevelItem(row)).center());
}

int PanelHarness::select(const QStringList& names)
{
    list()->clearSelection();
    int found = 0;
    for (int i = 0; i < list()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list()->topLevelItem(i);
        item->setSelected(names.contains(item->text(0)));
        found += item->isSelected();
    }
    return found;
}

QStringList PanelHarness::handlerCalls(bool listings) const
{
    QFile log(QString::fromStdString(m_logPath));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QStringList calls = QString::fromLocal8Bit(log.readAll()).split('\n', Qt::SkipEmptyParts);
    if (listings)
        calls = calls.filter("start=");
    return calls;
}

QStringList PanelHarness::columnTexts(int column) const
{
    QStringList texts;
    for (int i = 0; i < list()->topLevelItemCount(); ++i)
        texts << list()->topLevelItem(i)->text(column);
    return texts;
}

} // namespace DbscoutTest

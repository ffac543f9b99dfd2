// Every object operation of the panel against the real molb handler, each checked afterwards in
// the store itself: through molb-admin and through the handler as another user, never through
// what the panel shows.

#include "dialog_support.h"
#include "panel/panel_harness.h"
#include "panel/real_store.h"

#include "document/result_page.h"
#include "document/xml_exception.h"
#include "operations/modal_dialog.h"
#include "resources/ids.h"

#include <dbscout/dbscout.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace Dbscout;
using namespace DbscoutTest;

namespace {

// alice and bob share the group "lab"; carol is in no group.
const char* const kUsers[][3] = {
    {"alice", "alice-pw", "lab"},
    {"bob", "bob-pw", "lab"},
    {"carol", "carol-pw", ""},
};

const char* passwordOf(const QString& user)
{
    for (const auto& entry : kUsers)
        if (user == entry[0])
            return entry[1];
    return "";
}

// What the store holds for one object as a user sees it in a listing.
struct Seen
{
    bool listed = false; // the name appears in the listing
    std::string id;
    std::string checkoutBy;
    std::string mode;
};

class StoreView
{
public:
    explicit StoreView(const RealStore& store) : m_store(store) {}

    // The MAIN listing (or a subset's) of DNA/RNA objects as user sees it.
    ResultPage listing(const QString& user, const QString& subset = "MAIN") const
    {
        const QString url = QString("molb://local/demo/dnarna/?start=0&page=100&query=%1&user=%2&pass=%3")
                                .arg(subset, user, passwordOf(user));
        const QByteArray page = m_store.request(url);
        ResultPage result;
        try {
            result.ParseText(page.constData());
        } catch (const CXMLException& e) {
            qWarning() << "listing" << url << "unreadable:" << e.message().c_str();
        }
        return result;
    }

    Seen object(const QString& name, const QString& user = "bob") const
    {
        for (const ResultRow& row : listing(user).rows)
            if (row.name == name.toStdString())
                return {true, row.id, row.checkoutBy, row.mode};
        return {};
    }

    // molb-admin log of the object: one "revision N" line per revision, comments indented.
    QString log(const std::string& id) const
    {
        return QString::fromUtf8(m_store.admin({"log", "demo", QString::fromStdString(id)}));
    }

private:
    const RealStore& m_store;
};

ScriptedModal::DialogAnswer TypeComment(const QString& text)
{
    return Scripted([text](QDialog* d) {
        auto* edit = FindControl<QPlainTextEdit>(d, IDC_COMMENT_TEXT);
        const QStringList lines = text.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(edit, Qt::Key_Return);
            QTest::keyClicks(edit, lines[i]);
        }
        Press(d, kIdOk);
    });
}

ScriptedModal::DialogAnswer TypeSubsetName(const QString& name)
{
    return Scripted([name](QDialog* d) {
        QTest::keyClicks(FindControl<QLineEdit>(d, IDC_SUBSET_NAME), name);
        Press(d, kIdOk);
    });
}

} // namespace

class OperationsEndToEndTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void checkOutCheckInAndUndoReachTheStore();
    void subsetFromSelectionHoldsTheSelectedObjects();
    void accessChangeHidesTheObjectFromOthers();
    void saveNewThenOverwriteAfterExist();

private:
    void listAs(const QString& user);
    void select(const QStringList& names);
    // Runs a panel command and waits for the listing the handler answers with.
    void run(int command);
    PanelHarness& h() { return *m_harness; }

    std::unique_ptr<PanelHarness> m_harness;
    std::unique_ptr<RealStore> m_store;
    std::unique_ptr<StoreView> m_view;
};

void OperationsEndToEndTest::init()
{
    m_harness = std::make_unique<PanelHarness>();
    h().destroy();
    m_store = std::make_unique<RealStore>(h().env(), 5);
    for (const auto& user : kUsers) {
        QStringList arguments{"user", "add", "demo", user[0]};
        if (*user[2])
            arguments << "--group" << user[2];
        bool ok = false;
        m_store->admin(arguments, &ok, QByteArray(user[1]) + "\n");
        QVERIFY(ok);
    }
    // The imported records belong to alice and her group.
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        m_store->admin({"chown", "demo", QString::number(i + 1), "alice:lab"}, &ok);
        QVERIFY(ok);
    }
    m_view = std::make_unique<StoreView>(*m_store);
    h().create(true, 0);
}

void OperationsEndToEndTest::cleanup()
{
    m_harness.reset();
    m_view.reset();
    m_store.reset();
}

void OperationsEndToEndTest::listAs(const QString& user)
{
    h().typeSource(QString("molb://%1:%2@local/demo/dnarna/").arg(user, passwordOf(user)).toStdString());
    h().typeQuery("MAIN");
    h().pressGo();
    QVERIFY(h().waitForListing(20000));
    QCOMPARE(h().list()->topLevelItemCount(), 5);
}

void OperationsEndToEndTest::select(const QStringList& names)
{
    h().list()->clearSelection();
    int selected = 0;
    for (int i = 0; i < h().list()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = h().list()->topLevelItem(i);
        if (names.contains(item->text(0))) {
            item->setSelected(true);
            ++selected;
        }
    }
    QCOMPARE(selected, int(names.size()));
}

void OperationsEndToEndTest::run(int command)
{
    h().command(command);
    QVERIFY(h().waitForListing(20000));
    QVERIFY2(h().modal().messages().empty(),
             qPrintable(h().modal().messages().empty() ? QString()
                                                       : h().modal().messages().front().text));
}

void OperationsEndToEndTest::checkOutCheckInAndUndoReachTheStore()
{
    listAs("alice");
    select({"seq000", "seq001"});
    h().modal().answerNextDialog(TypeComment("taking both"));
    run(ID_CHECK_OUT);
    QCOMPARE(m_view->object("seq000").checkoutBy, std::string("alice"));
    QCOMPARE(m_view->object("seq001").checkoutBy, std::string("alice"));
    QCOMPARE(m_view->object("seq002").checkoutBy, std::string());

    // Everything a user may type in a comment comes back from the log as typed (the Enter key
    // gives the line break the panel sends, CR LF).
    const QString comment = "first line\nA&B=C?D;E \"q\" 'q' |/\\ end";
    select({"seq000"});
    h().modal().answerNextDialog(TypeComment(comment));
    run(ID_CHECK_IN);
    const Seen checkedIn = m_view->object("seq000");
    QCOMPARE(checkedIn.checkoutBy, std::string());
    const QString log = m_view->log(checkedIn.id);
    QCOMPARE(log.count("revision "), 2);
    QVERIFY2(log.contains("    first line\r\n    A&B=C?D;E \"q\" 'q' |/\\ end\n"), qPrintable(log));

    select({"seq001"});
    const Seen held = m_view->object("seq001");
    run(ID_UNDO_CHECK_OUT);
    QCOMPARE(m_view->object("seq001").checkoutBy, std::string());
    QCOMPARE(m_view->log(held.id).count("revision "), 1); // no revision without a check-in
}

void OperationsEndToEndTest::subsetFromSelectionHoldsTheSelectedObjects()
{
    listAs("alice");
    select({"seq003", "seq001"});
    h().modal().answerNextDialog(TypeSubsetName("Picked"));
    run(ID_CREATE_SUBSET_FROM_SELECTION);
    QCOMPARE(h().queryBox()->currentText(), QString("Picked"));

    const ResultPage picked = m_view->listing("alice", "Picked");
    QCOMPARE(picked.caption.name, std::string("Picked"));
    QStringList names;
    for (const ResultRow& row : picked.rows)
        names << QString::fromStdString(row.name);
    names.sort();
    QCOMPARE(names, QStringList({"seq001", "seq003"}));

    // The reserved name never reaches the store.
    const size_t subsets = m_view->listing("alice").subsets.size();
    h().modal().clear();
    h().modal().answerNextDialog(TypeSubsetName("main"));
    h().command(ID_CREATE_EMPTY_SUBSET);
    QCOMPARE(int(h().modal().messages().size()), 1);
    QCOMPARE(m_view->listing("alice").subsets.size(), subsets);
}

void OperationsEndToEndTest::accessChangeHidesTheObjectFromOthers()
{
    listAs("alice");
    QVERIFY(m_view->object("seq004", "carol").listed);
    select({"seq004"});
    h().modal().answerNextDialog(Scripted([](QDialog* d) {
        FindControl<QComboBox>(d, IDC_ACCESS_OTHER)->setCurrentIndex(0); // no access
        Press(d, kIdOk);
    }));
    run(ID_OBJECT_ACCESS);

    const Seen forGroup = m_view->object("seq004", "bob");
    QVERIFY(forGroup.listed);
    QCOMPARE(forGroup.mode.substr(2), std::string("-"));
    QVERIFY(!m_view->object("seq004", "carol").listed);

    // Nor does carol get the bytes by asking for the id.
    bool ok = true;
    const QByteArray answer = m_store->request(
        QString("molb://local/demo/dnarna/%1?user=carol&pass=carol-pw&command=fetch")
            .arg(QString::fromStdString(forGroup.id)),
        &ok);
    QVERIFY(!ok);
    QVERIFY(!answer.contains("ACGT"));
}

void OperationsEndToEndTest::saveNewThenOverwriteAfterExist()
{
    // The place and name come from a save-mode panel, as a host gets them.
    h().destroy();
    h().create(false, 0);
    listAs("alice");
    QTest::keyClicks(h().nameBox(), "fresh");
    std::string url;
    std::string name;
    int flag = 0;
    QVERIFY(h().dbscout()->GetURL(url, flag, name));

    auto save = [this, &url](const QByteArray& bytes, int& exists) {
        h().modal().answerNextDialog(Scripted([](QDialog* d) { d->exec(); }));
        std::string stored = "fresh";
        return ::SaveObject(stored, "fresh.fasta", url.c_str(), bytes.constData(),
                            int(bytes.size()), exists, nullptr);
    };
    const QByteArray first = ">fresh first version\nACGTACGTTTGA\n";
    const QByteArray second = ">fresh second version\nGGGCCCAAATTT\n";

    int exists = 0;
    QCOMPARE(save(first, exists), 1);
    QCOMPARE(exists, 0);
    const Seen stored = m_view->object("fresh", "alice");
    QVERIFY(stored.listed);
    const QString fetch = QString("molb://local/demo/dnarna/%1?user=alice&pass=alice-pw"
                                  "&command=fetch")
                              .arg(QString::fromStdString(stored.id));
    QCOMPARE(m_store->request(fetch), first);

    QCOMPARE(save(second, exists), 0);
    QCOMPARE(exists, 1);
    QVERIFY(h().modal().messages().empty());
    QCOMPARE(m_store->request(fetch), first); // the refused save stored nothing

    QCOMPARE(save(second, exists), 1); // the host asked and the user chose to overwrite
    QCOMPARE(m_store->request(fetch), second);
    QCOMPARE(m_view->log(stored.id).count("revision "), 2);
}

QTEST_MAIN(OperationsEndToEndTest)
#include "operations_end_to_end_test.moc"

// The result list's column titles must size as a plain header sizes them, also after the titles,
// their sort image, the font or the style changed since the sizes were first kept.

#include "panel/result_list_header.h"

#include <QHeaderView>
#include <QStyleFactory>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace Dbscout;

namespace {

const QStringList kTitles = {"Name", "Accession", "Length", "Organism"};

std::unique_ptr<QTreeWidget> makeList(bool ours)
{
    auto list = std::make_unique<QTreeWidget>();
    if (ours)
        list->setHeader(new ResultListHeader(list.get()));
    list->setHeaderLabels(kTitles);
    list->show();
    return list;
}

// Each title's size and the header's height, as the list lays them out.
QList<int> sizes(const QTreeWidget& list)
{
    QList<int> all;
    for (int i = 0; i < list.columnCount(); ++i)
        all << list.header()->sectionSizeHint(i);
    all << list.header()->sizeHint().height();
    return all;
}

} // namespace

class ResultListHeaderTest : public QObject
{
    Q_OBJECT

private slots:
    void titlesSizeAsAPlainHeaderAfterEachChange()
    {
        QPixmap image(24, 12);
        image.fill(Qt::darkBlue);
        const struct
        {
            const char* what;
            std::function<void(QTreeWidget&)> change;
        } cases[] = {
            {"a sort image on a title",
             [&](QTreeWidget& l) { l.headerItem()->setIcon(1, QIcon(image)); }},
            {"the sort image taken off again",
             [&](QTreeWidget& l) {
                 l.headerItem()->setIcon(1, QIcon(image));
                 sizes(l);
                 l.headerItem()->setIcon(1, QIcon());
             }},
            {"other titles", [](QTreeWidget& l) { l.setHeaderLabels({"Title", "Journal", "Year"}); }},
            {"a longer title", [](QTreeWidget& l) { l.headerItem()->setText(0, "Name of the object"); }},
            {"another font",
             [](QTreeWidget& l) {
                 QFont font = l.header()->font();
                 font.setPointSize(font.pointSize() + 6);
                 l.header()->setFont(font);
             }},
            {"another style",
             [](QTreeWidget& l) {
                 QStyle* style = QStyleFactory::create("Windows");
                 style->setParent(&l); // a widget does not own the style it is given
                 l.header()->setStyle(style);
             }},
        };
        for (const auto& c : cases) {
            auto ours = makeList(true);
            auto stock = makeList(false);
            QCOMPARE(sizes(*ours), sizes(*stock)); // kept now
            c.change(*ours);
            c.change(*stock);
            QVERIFY2(sizes(*ours) == sizes(*stock), c.what);
        }
    }
};

QTEST_MAIN(ResultListHeaderTest)
#include "result_list_header_test.moc"

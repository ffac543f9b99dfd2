// The result list's cell painting: the delegate must draw every cell pixel for pixel as the style
// draws it, in each state and layout the list shows.

#include "panel/result_list_delegate.h"

#include <QImage>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace Dbscout;

namespace {

using Setup = std::function<void(QTreeWidget&)>;

// A list of three rows as the panel fills it: an icon in the first column, 90 pixels a column.
std::unique_ptr<QTreeWidget> makeList(const QStringList& cells, const Setup& setup)
{
    auto list = std::make_unique<QTreeWidget>();
    list->resize(400, 120);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setColumnCount(int(cells.size()));
    QPixmap icon(16, 16);
    icon.fill(Qt::darkGreen);
    for (int row = 0; row < 3; ++row) {
        auto* item = new QTreeWidgetItem(list.get());
        item->setIcon(0, QIcon(icon));
        for (int column = 0; column < cells.size(); ++column)
            item->setText(column, cells[column] + QString::number(row));
    }
    for (int column = 0; column < cells.size(); ++column)
        list->setColumnWidth(column, 90);
    if (setup)
        setup(*list);
    list->show();
    return list;
}

QImage paintedCells(QTreeWidget& list)
{
    QImage image(list.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    list.viewport()->render(&image);
    return image;
}

} // namespace

class ResultListDelegateTest final : public QObject
{
    Q_OBJECT

private slots:
    void paintsCellsAsTheStyleDoes()
    {
        const QStringList listing = {"GEN00000001", "Arabidopsis thaliana",
                                     "phosphoid ferrene isomomer", "2026-12-06 03:10"};
        const struct
        {
            const char* what;
            QStringList cells;
            Setup setup;
        } cases[] = {
            {"short and elided texts", listing, {}},
            {"a selected row", listing,
             [](QTreeWidget& l) { l.topLevelItem(1)->setSelected(true); }},
            {"right to left", listing,
             [](QTreeWidget& l) { l.setLayoutDirection(Qt::RightToLeft); }},
            {"no eliding", listing, [](QTreeWidget& l) { l.setTextElideMode(Qt::ElideNone); }},
            {"a disabled list", listing, [](QTreeWidget& l) { l.setEnabled(false); }},
            {"scripts written right to left or joined",
             {"\u05d0\u05d1\u05d2 abc", "\u0645\u0631\u062d\u0628\u0627 kinase",
              "\u0915\u093f DNA"},
             {}},
            {"texts over two lines", {"first\nsecond", "one\ntwo\nthree"}, {}},
        };
        for (const auto& c : cases) {
            auto stock = makeList(c.cells, c.setup);
            auto ours = makeList(c.cells, c.setup);
            ours->setItemDelegate(new ResultListDelegate(ours.get()));
            QVERIFY(QTest::qWaitForWindowExposed(ours.get()));
            QVERIFY(QTest::qWaitForWindowExposed(stock.get()));
            QVERIFY2(paintedCells(*ours) == paintedCells(*stock), c.what);
        }
    }
};

QTEST_MAIN(ResultListDelegateTest)
#include "result_list_delegate_test.moc"

// The result list's cell painting: the delegate must draw every cell pixel for pixel as the style
// draws it, in each state and layout the list shows, and again after the list changed.

#include "panel/result_list_delegate.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace Dbscout;

namespace {

// A host's style that shades every cell of a list.
class ShadingStyle final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_PanelItemViewItem)
            painter->fillRect(option->rect, QColor(255, 240, 200));
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

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

// The list painted as the active window with the focus, whichever list was active before.
QImage paintedCells(QTreeWidget& list)
{
    QApplication::setActiveWindow(&list);
    list.setFocus();
    QImage image(list.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    list.viewport()->render(&image);
    return image;
}

const QStringList kListing = {"GEN00000001", "Arabidopsis thaliana", "phosphoid ferrene isomomer",
                              "2026-12-06 03:10"};

// The same list twice, shown: painted by the style and by the delegate.
struct ListPair
{
    std::unique_ptr<QTreeWidget> stock, ours;
    bool exposed() const
    {
        return QTest::qWaitForWindowExposed(ours.get()) &&
               QTest::qWaitForWindowExposed(stock.get());
    }
    bool paintAlike() const { return paintedCells(*ours) == paintedCells(*stock); }
};

ListPair makeLists(const QStringList& cells, const Setup& setup)
{
    ListPair lists{makeList(cells, setup), makeList(cells, setup)};
    lists.ours->setItemDelegate(new ResultListDelegate(lists.ours.get()));
    return lists;
}

} // namespace

class ResultListDelegateTest final : public QObject
{
    Q_OBJECT

private slots:
    void paintsCellsAsTheStyleDoes()
    {
        const struct
        {
            const char* what;
            QStringList cells;
            Setup setup;
        } cases[] = {
            {"short and elided texts", kListing, {}},
            {"a selected row", kListing,
             [](QTreeWidget& l) { l.topLevelItem(1)->setSelected(true); }},
            {"the focus on a cell", kListing,
             [](QTreeWidget& l) {
                 l.setSelectionBehavior(QAbstractItemView::SelectItems);
                 l.setCurrentItem(l.topLevelItem(1), 2);
             }},
            {"right to left", kListing,
             [](QTreeWidget& l) { l.setLayoutDirection(Qt::RightToLeft); }},
            {"no eliding", kListing, [](QTreeWidget& l) { l.setTextElideMode(Qt::ElideNone); }},
            {"cells on the right", kListing,
             [](QTreeWidget& l) {
                 for (int row = 0; row < 3; ++row)
                     l.topLevelItem(row)->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
             }},
            {"a check box", kListing,
             [](QTreeWidget& l) { l.topLevelItem(1)->setCheckState(1, Qt::Checked); }},
            {"a disabled list", kListing, [](QTreeWidget& l) { l.setEnabled(false); }},
            {"alternating rows", kListing, [](QTreeWidget& l) { l.setAlternatingRowColors(true); }},
            {"larger icons", kListing, [](QTreeWidget& l) { l.setIconSize(QSize(24, 24)); }},
            {"a style sheet framing every cell", kListing,
             [](QTreeWidget& l) { l.setStyleSheet("QTreeView::item { border: 1px solid red; }"); }},
            {"a host's style shading every cell", kListing,
             [](QTreeWidget& l) {
                 auto* style = new ShadingStyle(QStyleFactory::create("Fusion"));
                 style->setParent(&l); // a widget does not own the style it is given
                 l.setStyle(style);
             }},
            {"scripts written right to left or joined",
             {"\u05d0\u05d1\u05d2 abc", "\u0645\u0631\u062d\u0628\u0627 kinase",
              "\u0915\u093f DNA"},
             {}},
            {"texts over two lines", {"first\nsecond", "one\ntwo\nthree"}, {}},
        };
        for (const auto& c : cases) {
            const ListPair lists = makeLists(c.cells, c.setup);
            QVERIFY(lists.exposed());
            QVERIFY2(lists.paintAlike(), c.what);
        }
    }

    // What a paint laid out is not shown again once the list changed under it.
    void repaintsAfterAChangeAsTheStyleDoes()
    {
        const struct
        {
            const char* what;
            Setup change;
        } cases[] = {
            {"a narrower column", [](QTreeWidget& l) { l.setColumnWidth(1, 45); }},
            {"a wider column", [](QTreeWidget& l) { l.setColumnWidth(2, 200); }},
            {"rows sorted the other way",
             [](QTreeWidget& l) { l.sortItems(2, Qt::DescendingOrder); }},
            {"another font",
             [](QTreeWidget& l) {
                 QFont font = l.font();
                 font.setPointSize(font.pointSize() + 3);
                 font.setBold(true);
                 l.setFont(font);
             }},
            {"a cell's new text", [](QTreeWidget& l) { l.topLevelItem(1)->setText(2, "kinase"); }},
            {"eliding on the left", [](QTreeWidget& l) { l.setTextElideMode(Qt::ElideLeft); }},
            {"a row without its icon",
             [](QTreeWidget& l) { l.topLevelItem(0)->setIcon(0, QIcon()); }},
        };
        for (const auto& c : cases) {
            const ListPair lists = makeLists(kListing, {});
            QVERIFY(lists.exposed());
            QVERIFY2(lists.paintAlike(), c.what); // laid out now
            c.change(*lists.ours);
            c.change(*lists.stock);
            QVERIFY2(lists.paintAlike(), c.what);
        }
    }
};

QTEST_MAIN(ResultListDelegateTest)
#include "result_list_delegate_test.moc"

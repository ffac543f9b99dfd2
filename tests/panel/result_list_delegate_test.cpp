// The result list's cell painting: the delegate must draw every cell pixel for pixel as the style
// draws it, in each state and layout the list shows, while laying out a plain cell's text itself.

#include "panel/result_list_delegate.h"

#include <QImage>
#include <QPainter>
#include <QProxyStyle>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>

using namespace Dbscout;

namespace {

// Notes every item text the style is given to lay out or draw.
class TextNotingStyle final : public QProxyStyle
{
public:
    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget) const override
    {
        note(option);
        return QProxyStyle::subElementRect(element, option, widget);
    }
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        note(option);
        QProxyStyle::drawControl(element, option, painter, widget);
    }
    mutable QStringList texts;

private:
    void note(const QStyleOption* option) const
    {
        if (const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option))
            texts << item->text;
    }
};

using Setup = std::function<void(QTreeWidget&)>;

// A list of three rows as the panel fills it: an icon in the first column, 90 pixels a column.
std::unique_ptr<QTreeWidget> makeList(const QStringList& cells, const Setup& setup, QStyle* style)
{
    auto list = std::make_unique<QTreeWidget>();
    list->resize(400, 120);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setColumnCount(int(cells.size()));
    list->setStyle(style);
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
    void paintsCellsAsTheStyleDoes_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<bool>("plain"); // drawn by the delegate itself

        const QStringList listing = {"GEN00000001", "Arabidopsis thaliana",
                                     "phosphoid ferrene isomomer", "2026-12-06 03:10"};
        auto row = [&](const char* name, const Setup& setup, bool plain) {
            QTest::newRow(name) << listing << setup << plain;
        };
        row("short and elided texts", {}, true);
        row(
            "a selected row", [](QTreeWidget& l) { l.topLevelItem(1)->setSelected(true); }, true);
        row(
            "right to left", [](QTreeWidget& l) { l.setLayoutDirection(Qt::RightToLeft); }, false);
        row(
            "eliding in the middle", [](QTreeWidget& l) { l.setTextElideMode(Qt::ElideMiddle); },
            true);
        row(
            "no eliding", [](QTreeWidget& l) { l.setTextElideMode(Qt::ElideNone); }, false);
        row(
            "right-aligned and bold cells",
            [](QTreeWidget& l) {
                QFont bold = l.font();
                bold.setBold(true);
                for (int r = 0; r < 3; ++r) {
                    l.topLevelItem(r)->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
                    l.topLevelItem(r)->setFont(2, bold);
                }
            },
            true);
        row(
            "a disabled list", [](QTreeWidget& l) { l.setEnabled(false); }, true);
        QTest::newRow("Latin, Greek and Cyrillic letters")
            << QStringList{"M\u00fcller", "\u03b1-helix \u00e6",
                           "\u0411\u0435\u043b\u043e\u043a kinase"}
            << Setup() << true;
        QTest::newRow("scripts written right to left or joined")
            << QStringList{"\u05d0\u05d1\u05d2 abc", "\u0645\u0631\u062d\u0628\u0627 kinase",
                           "\u0915\u093f DNA"}
            << Setup() << false;
        QTest::newRow("texts over two lines")
            << QStringList{"first\nsecond", "one\ntwo\nthree"} << Setup() << false;
    }

    void paintsCellsAsTheStyleDoes()
    {
        QFETCH(QStringList, cells);
        QFETCH(Setup, setup);
        QFETCH(bool, plain);
        TextNotingStyle style;
        auto stock = makeList(cells, setup, &style);
        auto ours = makeList(cells, setup, &style);
        ours->setItemDelegate(new ResultListDelegate(ours.get()));
        QVERIFY(QTest::qWaitForWindowExposed(ours.get()));
        QVERIFY(QTest::qWaitForWindowExposed(stock.get()));

        const QImage expected = paintedCells(*stock);
        style.texts.clear();
        QCOMPARE(paintedCells(*ours), expected);

        // The style sees a plain cell's real text only where it draws the cell itself (a line
        // break shows as a line separator).
        const QString shown =
            ours->topLevelItem(1)->text(int(cells.size()) - 1).replace('\n', QChar::LineSeparator);
        QCOMPARE(style.texts.contains(shown), !plain);
    }
};

QTEST_MAIN(ResultListDelegateTest)
#include "result_list_delegate_test.moc"

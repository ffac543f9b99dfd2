// The result list's scroll bars must look as plain scroll bars look after every change the style
// draws from, and must ask the style again only after such a change.

#include "panel/result_list_scroll_bar.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTest>

#include <functional>
#include <memory>

using namespace Dbscout;

namespace {

// Counts the scroll bars the style draws.
class CountingStyle final : public QProxyStyle
{
public:
    CountingStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override
    {
        if (control == CC_ScrollBar)
            ++drawn;
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
    mutable int drawn = 0;
};

// A plain bar and ours, each in a window of its own, set up alike.
struct BarPair
{
    explicit BarPair(Qt::Orientation orientation)
    {
        for (QWidget* window : {&plainWindow, &oursWindow})
            window->resize(orientation == Qt::Vertical ? QSize(14, 300) : QSize(300, 14));
        plain = new QScrollBar(orientation, &plainWindow);
        ours = new ResultListScrollBar(orientation, &oursWindow);
        change([](QScrollBar& bar) {
            bar.setGeometry(bar.parentWidget()->rect());
            bar.setRange(0, 1200);
            bar.setPageStep(580);
        });
    }
    void change(const std::function<void(QScrollBar&)>& apply)
    {
        apply(*plain);
        apply(*ours);
    }
    QWidget plainWindow;
    QWidget oursWindow;
    QScrollBar* plain;
    ResultListScrollBar* ours;
};

} // namespace

class ResultListScrollBarTest : public QObject
{
    Q_OBJECT

private slots:
    void looksAsAPlainScrollBarAfterEachChange()
    {
        std::unique_ptr<QStyle> windows(QStyleFactory::create("Windows"));
        QPalette dark;
        dark.setColor(QPalette::Button, Qt::darkGreen);
        dark.setColor(QPalette::Window, Qt::darkBlue);
        const struct
        {
            const char* what;
            std::function<void(QScrollBar&)> change;
        } cases[] = {
            {"as set up", [](QScrollBar&) {}},
            {"moved", [](QScrollBar& b) { b.setValue(400); }},
            {"moved to its end", [](QScrollBar& b) { b.setValue(b.maximum()); }},
            {"a longer range", [](QScrollBar& b) { b.setRange(0, 5000); }},
            {"a shorter page", [](QScrollBar& b) { b.setPageStep(100); }},
            {"upside down", [](QScrollBar& b) { b.setInvertedAppearance(true); }},
            {"right to left", [](QScrollBar& b) { b.setLayoutDirection(Qt::RightToLeft); }},
            {"disabled", [](QScrollBar& b) { b.setEnabled(false); }},
            {"enabled again", [](QScrollBar& b) { b.setEnabled(true); }},
            {"another palette", [&](QScrollBar& b) { b.setPalette(dark); }},
            // The application's style sheet changes, not the bar's.
            {"a style sheet",
             [](QScrollBar&) { qApp->setStyleSheet("QScrollBar { border: 2px solid red; }"); }},
            {"another style sheet",
             [](QScrollBar&) { qApp->setStyleSheet("QScrollBar { border: 2px solid blue; }"); }},
            {"no style sheet", [](QScrollBar&) { qApp->setStyleSheet(QString()); }},
            {"another style", [&](QScrollBar& b) { b.setStyle(windows.get()); }},
            {"longer", [](QScrollBar& b) { b.resize(b.width() + 40, b.height() + 40); }},
        };
        for (Qt::Orientation orientation : {Qt::Vertical, Qt::Horizontal}) {
            BarPair bars(orientation);
            for (const auto& c : cases) {
                bars.change(c.change);
                QVERIFY2(bars.ours->grab().toImage() == bars.plain->grab().toImage(), c.what);
            }
        }
    }

    void asksTheStyleOnlyAfterAChange()
    {
        CountingStyle style;
        QWidget window;
        window.resize(14, 300);
        ResultListScrollBar bar(Qt::Vertical, &window);
        bar.setStyle(&style);
        bar.setGeometry(window.rect());
        bar.setRange(0, 1200);
        bar.grab();
        bar.grab();
        QCOMPARE(style.drawn, 1);
        bar.setValue(300);
        bar.grab();
        QCOMPARE(style.drawn, 2);
    }
};

QTEST_MAIN(ResultListScrollBarTest)
#include "result_list_scroll_bar_test.moc"

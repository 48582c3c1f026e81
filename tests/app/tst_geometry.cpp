// Each window at its designed size, in the program's face and with the longest texts it shows:
// every control lies inside the window and is in the program's face, every caption is whole,
// every grid row the window is made to show lies in view, and buttons made alike are alike.

#include "app/frmSplash.h"
#include "app/frmTerminal.h"
#include "console/ConsoleWidgets.h"
#include "console/frmMessageTest.h"
#include "console/frmRangeTest.h"
#include "console/frmTXTune.h"
#include "editors/EditorGrid.h"
#include "editors/families/frmCfgFam.h"
#include "editors/groups/frmCfgGroup.h"
#include "editors/groups/frmCfgMsg.h"
#include "link/frmCancelSend.h"
#include "model/PagerDatabase.h"
#include "platform/Platform.h"
#include "settings/frmPassword.h"
#include "settings/frmSettings.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStyleOption>
#include <QToolButton>
#include <QtTest>

using namespace qpes;
using namespace qpes::test;

namespace {

const QString LongResponse = QStringLiteral("Response: 105, Cap=0001005 Type=ALPHA Rate=512, Func=4\r\n");

// Every table full, each field as long as the editors let it be.
void fillDatabase() {
    PagerDatabase& db = shared().Db;
    for (int i = 0; i < FamilyCount; ++i)
        db.Families[i] = {"1",   QByteArray::number(9000000 + i * 999), "2",  "N",  "3",
                          "999", QByteArray::number(8000 + i),          "15", "15", "YES"};
    for (PagerGroup& g : db.Groups) {
        g.fill("9999");
        g[Grp::Active] = g[Grp::CCActive] = g[Grp::COActive] = g[Grp::TimerActive] = "1";
        g[Grp::CCMsg] = g[Grp::COMsg] = g[Grp::TimerMsg] = "15";
        g[Grp::Defined] = "YES";
        g[Grp::Reference] = "BLDG12";
    }
    for (QByteArray& m : db.Messages)
        m = "Fire alarm in the east wing: all staff to the assembly point";
}

QString where(const QWidget* w) {
    return QStringLiteral("%1.%2 \"%3\"")
        .arg(w->window()->objectName(), w->objectName(), w->property("text").toString());
}

// The room a label lays its text out in.
QRect textRoom(const QLabel* l) {
    const int m = l->margin();
    QRect room = l->contentsRect().adjusted(m, m, -m, -m);
    if (l->indent() > 0)
        room.setLeft(room.left() + l->indent());
    return room;
}

// The label's lines lie in it, laid out as it lays them out; line ends after the text show
// nothing but still count where the text is aligned. Blanks as wide as the label end a line,
// as the caption means them to: each part of the text between them stands whole on one line.
void checkLabel(const QLabel* l) {
    const QString text = l->text();
    if (text.isEmpty() || Qt::mightBeRichText(text))
        return;
    const QFontMetrics fm = l->fontMetrics();
    const QRect room = textRoom(l);
    const int flags = int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0);
    QString shown = text;
    while (shown.endsWith(QLatin1Char('\n')) || shown.endsWith(QLatin1Char('\r')))
        shown.chop(1);
    const QRect all = fm.boundingRect(room, flags, text);
    const QRect visible(all.topLeft(), QSize(all.width(), fm.boundingRect(room, flags, shown).height()));
    QVERIFY2(
        room.contains(visible),
        qPrintable(where(l) + QStringLiteral(" needs %1 px, has %2").arg(visible.width()).arg(room.width())));

    const int lineOfBlanks = room.width() / fm.horizontalAdvance(QLatin1Char(' '));
    const QStringList parts = text.split(QRegularExpression(QStringLiteral(" {%1,}").arg(lineOfBlanks)));
    if (!l->wordWrap() || parts.size() < 2)
        return;
    const int lineHeight = fm.boundingRect(QRect(0, 0, 1 << 20, 1 << 20), Qt::TextWordWrap, shown).height();
    for (const QString& part : parts)
        QVERIFY2(fm.boundingRect(QRect(0, 0, room.width(), 1 << 20), Qt::TextWordWrap, part).height() <=
                     lineHeight,
                 qPrintable(where(l) + QStringLiteral(": \"%1\" breaks").arg(part)));
}

QString withoutMnemonic(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    return text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// A button's text fits the room its style leaves inside it.
void checkButton(const QAbstractButton* b) {
    const QString text = withoutMnemonic(b->text());
    if (text.isEmpty())
        return;
    if (qobject_cast<const QToolButton*>(b)) {
        QVERIFY2(b->width() >= b->sizeHint().width() && b->height() >= b->sizeHint().height(),
                 qPrintable(where(b)));
        return;
    }
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(b))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(b))
        contents = QStyle::SE_RadioButtonContents;
    const QRect room = b->style()->subElementRect(contents, &opt, b);
    const QFontMetrics fm = b->fontMetrics();
    const int iconWidth = b->icon().isNull() ? 0 : b->iconSize().width();
    QVERIFY2(fm.horizontalAdvance(text) + iconWidth <= room.width() && fm.height() <= room.height(),
             qPrintable(where(b)));
}

void checkGroupBox(const QGroupBox* g) {
    QStyleOptionGroupBox opt;
    opt.initFrom(g);
    opt.text = g->title();
    opt.subControls = QStyle::SC_GroupBoxLabel;
    const QRect label = g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
    QVERIFY2(g->rect().contains(label), qPrintable(where(g)));
}

// A heading's text fits its section: as wide as the style pads it (blanks at its end show
// nothing) and as high as the face.
bool headingFits(const QHeaderView* header, QString text, int width, int height) {
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    QStyleOptionHeader opt;
    opt.initFrom(header);
    opt.text = text;
    const QSize padded = header->style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, QSize(), header);
    return padded.width() <= width && header->fontMetrics().height() <= height;
}

// The rows that the grid's height holds at a grid's usual row height, below a heading row as
// high, lie whole in view, with every column; each heading and cell text fits its cell.
void checkGrid(const EditorGrid* g) {
    const int usual = twipsToPixels(EditorGrid::UsualRowTwips);
    const int designedRows = qMin(g->rowCount(), (g->height() - 2 * g->frameWidth()) / usual - 1);
    for (int r = 0; r < designedRows; ++r) {
        const int top = g->rowViewportPosition(r);
        QVERIFY2(top >= 0 && top + g->rowHeight(r) <= g->viewport()->height(),
                 qPrintable(where(g) + QStringLiteral(": row \"%1\" out of view").arg(g->text(r + 1, 0))));
    }
    const QHeaderView* headings = g->horizontalHeader();
    for (int c = 0; c < g->columnCount(); ++c) {
        const int left = g->columnViewportPosition(c);
        QVERIFY2(left >= 0 && left + g->columnWidth(c) <= g->viewport()->width(),
                 qPrintable(where(g) + QStringLiteral(": column \"%1\" out of view").arg(g->text(0, c + 1))));
        QVERIFY2(headingFits(headings, g->text(0, c + 1), g->columnWidth(c), headings->height()),
                 qPrintable(where(g) + QStringLiteral(": heading \"%1\" cut").arg(g->text(0, c + 1))));
        for (int r = 0; r < g->rowCount(); ++r) {
            QStyleOptionViewItem opt;
            opt.initFrom(g);
            QVERIFY2(g->itemDelegate()->sizeHint(opt, g->model()->index(r, c)).width() <= g->columnWidth(c),
                     qPrintable(where(g) + QStringLiteral(": \"%1\" cut").arg(g->text(r + 1, c + 1))));
        }
    }
    for (int r = 0; r < g->rowCount(); ++r)
        QVERIFY2(headingFits(g->verticalHeader(), g->text(r + 1, 0), g->verticalHeader()->width(),
                             g->rowHeight(r)),
                 qPrintable(where(g) + QStringLiteral(": heading \"%1\" cut").arg(g->text(r + 1, 0))));
}

void checkWindow(const QWidget* window) {
    const QString face = QFontInfo(programFont()).family();
    const auto children = window->findChildren<QWidget*>();
    for (const QWidget* w : children) {
        if (!w->isVisibleTo(window) || w->isWindow())
            continue;
        QVERIFY2(window->rect().contains(QRect(w->mapTo(window, QPoint(0, 0)), w->size())),
                 qPrintable(where(w) + QStringLiteral(" lies outside its window")));
        QVERIFY2(QFontInfo(w->font()).family() == face,
                 qPrintable(where(w) + QStringLiteral(" in ") + QFontInfo(w->font()).family()));
        if (auto* l = qobject_cast<const QLabel*>(w))
            checkLabel(l);
        else if (auto* b = qobject_cast<const QAbstractButton*>(w))
            checkButton(b);
        else if (auto* g = qobject_cast<const QGroupBox*>(w))
            checkGroupBox(g);
        else if (auto* grid = qobject_cast<const EditorGrid*>(w))
            checkGrid(grid);
        if (QTest::currentTestFailed())
            return;
    }
}

} // namespace

class TstGeometry : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> box;
    frmTerminal* main = nullptr;

    // Opens the window with the longest texts it shows.
    QWidget* open(const QString& window) {
        if (window == "frmTerminal") {
            main->setCaption(Control::lblLookup, LongResponse);
            return main;
        }
        if (window == "frmSplash")
            return frmSplash::load();
        if (window == "frmCfgFam")
            return frmCfgFam::open();
        if (window == "frmCfgGroup")
            return frmCfgGroup::open();
        if (window == "frmCfgMsg")
            return frmCfgMsg::open();
        frmMessageTest* console = frmMessageTest::instance(true, main);
        if (window == "frmMessageTest") {
            console->txtMessage->setPlainText(QString(console->txtMessage->maxLength(), QLatin1Char('8')));
            return console;
        }
        if (window == "frmRangeTest")
            return new frmRangeTest(console);
        if (window == "frmTXTune")
            return new frmTXTune(main);
        if (window == "frmPassword")
            return new frmPassword(main);
        if (window == "frmSettings")
            return new frmSettings(main);
        frmCancelSend::setLabel(QStringLiteral("Writing Pager Database - Families"));
        return frmCancelSend::instance();
    }

private slots:
    void initTestCase() { useProgramFont(); }
    void init() {
        box = std::make_unique<Sandbox>();
        fillDatabase();
        main = frmTerminal::load();
        main->show();
    }
    void cleanup() {
        frmRangeTest::unload();
        frmMessageTest::unload();
        box.reset();
        main = nullptr;
    }

    void windowAtItsDesignedSize_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("alike"); // buttons of one row, made alike
        row("main window", "frmTerminal", QStringList());
        row("splash", "frmSplash", QStringList());
        row("families editor", "frmCfgFam", QStringList());
        row("groups editor", "frmCfgGroup", QStringList());
        row("canned messages editor", "frmCfgMsg", QStringList());
        row("test console", "frmMessageTest", QStringList{"cmdAdd", "cmdDelete", "cmdReplace"});
        row("range test setup", "frmRangeTest", QStringList{"cmdStart", "cmdCancel"});
        row("transmitter tuning", "frmTXTune", QStringList{"cmd512", "cmd1200", "cmd2400"});
        row("access prompt", "frmPassword", QStringList{"cmdOK", "cmdCancel"});
        row("advanced settings", "frmSettings", QStringList());
        row("progress box", "frmCancelSend", QStringList());
    }
    void windowAtItsDesignedSize() {
        QFETCH(QString, window);
        QFETCH(QStringList, alike);
        QWidget* w = open(window);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->objectName(), window);
        checkWindow(w);
        for (const QString& name : alike)
            QCOMPARE(w->findChild<QPushButton*>(name)->size(), w->findChild<QPushButton*>(alike[0])->size());
    }

    // On a desktop whose face is wider than the program's the families window grows so that
    // every column of its grid shows.
    void familiesEditorInAWiderFace() {
        QWidget* w = frmCfgFam::open();
        const int usualWidth = w->width();
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const auto restore = qScopeGuard([] { useProgramFont(); });
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
        w = frmCfgFam::open();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->width() > usualWidth);
        const auto* grid = w->findChild<EditorGrid*>(QStringLiteral("fgFamilies"));
        QVERIFY(w->rect().contains(grid->geometry()));
        QCOMPARE(grid->width(), grid->contentWidth()); // just as wide as its columns need
        checkGrid(grid);
    }
};

QTEST_MAIN(TstGeometry)
#include "tst_geometry.moc"

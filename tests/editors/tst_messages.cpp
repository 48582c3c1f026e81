// The canned messages editor: its load, what a typed or pasted text leaves in the table, and
// the keys that move between messages.

#include "app/frmTerminal.h"
#include "editors/EditorGrid.h"
#include "editors/groups/frmCfgMsg.h"
#include "model/PagerDatabase.h"
#include "support/TestSupport.h"

#include <QLineEdit>
#include <QPointer>
#include <QtTest>

using namespace qpes;
using namespace qpes::test;

namespace {
const QByteArray Long100 = QByteArray(100, 'x');
const QByteArray Full60 = QByteArray(60, 'y');
} // namespace

class TestMessages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> box;
    frmTerminal* main = nullptr;
    frmCfgMsg* w = nullptr;

    void open(const QByteArray& text, int message = 3) {
        clearTables(shared().Db);
        shared().Db.Messages[0] = "Fire alarm";
        shared().Db.Messages[message - 1] = text;
        main->setStatus(1, "unchanged");
        w = frmCfgMsg::open();
    }

private slots:
    void init() {
        box = std::make_unique<Sandbox>();
        main = frmTerminal::load();
        main->link().Timer1.start();
    }
    void cleanup() {
        box.reset();
        main = nullptr;
        w = nullptr;
    }

    void load() {
        open("Call 911");
        QVERIFY(!main->link().Timer1.isActive());
        EditorGrid* grid = w->fgMessages;
        QCOMPARE(std::pair(grid->rowCount(), grid->columnCount()), std::pair(15, 1));
        QCOMPARE(grid->text(0, 1), "Message" + QString(169, ' '));
        QCOMPARE(grid->text(1, 0), QString(" 1"));
        QCOMPARE(grid->text(15, 0), QString(" 15"));
        QVERIFY(grid->rowHeight(14) >= grid->fontMetrics().height()); // a message shows whole
        QCOMPARE(alignment(grid->horizontalHeaderItem(0)) + ' ' + alignment(grid->item(0, 0)) + ' ' +
                     alignment(grid->verticalHeaderItem(0)),
                 QString("left left centre"));
        QCOMPARE(grid->text(1, 1), QString("Fire alarm"));
        QCOMPARE(grid->background(1, 1), QColor(255, 255, 245));
        QCOMPARE(grid->background(2, 1), QColor(192, 192, 192));
        const QImage shown = w->grab().toImage(); // the window itself is light grey around the grid
        for (const QPoint corner : {QPoint(1, 1), QPoint(w->width() - 2, w->height() - 2)})
            QCOMPARE(QColor(shown.pixel(corner)), QColor(192, 192, 192));
        QVERIFY(w->txtMsg->isVisible());
        QCOMPARE(w->txtMsg->text(), QString("Fire alarm"));
        QVERIFY(!shared().FormLoading);
        QCOMPARE(frmCfgMsg::open(), w); // a loaded window is only brought forward
        w->cmdOK_Click();
        QCOMPARE(main->status(1), QString("unchanged"));
        QCOMPARE(shared().Db.Messages[2], QByteArray("Call 911"));

        // Opened again at once, before the closed window is gone: a fresh load.
        QPointer<frmCfgMsg> again = frmCfgMsg::open();
        QVERIFY(again != w);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(again && again->isVisible());
        QCOMPARE(frmCfgMsg::instance(), again);
    }

    // Message `message` holds `before` with the caret at `caret`; `inserted` is typed or pasted there.
    void editing_data() {
        QTest::addColumn<int>("message");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("caretAfter");
        QTest::addColumn<int>("quoteBoxes");

        row("quote typed at the end", 3, QByteArray("Call"), 4, "\"", false, QByteArray("Call"), 4, 1);
        row("pasted quotes in the middle", 3, QByteArray("ab"), 2, "x\"y\"z", false, QByteArray("abxyz"), 5,
            1);
        row("quote before the caret", 3, QByteArray("abcd"), 2, "\"e", false, QByteArray("abecd"), 3, 1);
        row("control characters", 3, QByteArray("ab"), 2, "c\td\x01", false, QByteArray("abcd"), 4, 0);
        row("61st character", 3, Full60, 60, "Z", false, Full60, 60, 0);
        row("paste past 60", 3, QByteArray(58, 'y'), 0, "ABCD", false, "AB" + QByteArray(58, 'y'), 2, 0);
        row("100 characters from a file", 3, Long100, 100, "Z", false, Long100, 100, 0);
        row("while busy", 3, QByteArray("ab"), 2, "c", true, QByteArray("abc"), 3, 0);
        row("message 1", 1, QByteArray("Fire"), 4, " alarm", false, QByteArray("Fire alarm"), 10, 0);
        row("message 15", 15, QByteArray(), 0, "Last", false, QByteArray("Last"), 4, 0);
    }
    void editing() {
        QFETCH(int, message);
        QFETCH(QByteArray, before);
        QFETCH(int, caret);
        QFETCH(QString, inserted);
        QFETCH(bool, busy);
        QFETCH(QByteArray, stored);
        QFETCH(int, caretAfter);
        QFETCH(int, quoteBoxes);
        open(before, message);
        if (message == 15)
            QTest::keyClick(w->txtMsg, Qt::Key_Up);
        for (int m = 1; m < message && message < 15; ++m)
            QTest::keyClick(w->txtMsg, Qt::Key_Down);
        QCOMPARE(w->txtMsg->text().toLatin1(), before); // placing the editor cuts nothing
        shared().DatabaseBusy = busy;
        w->txtMsg->setCursorPosition(caret);
        w->txtMsg->insert(inserted);

        QCOMPARE(shared().Db.Messages[message - 1], stored);
        QCOMPARE(w->txtMsg->text().toLatin1(), stored);
        QCOMPARE(w->fgMessages->text(message, 1).toLatin1(), stored);
        QCOMPARE(w->txtMsg->cursorPosition(), caretAfter);
        QCOMPARE(box->script.boxes.size(), quoteBoxes);
        if (quoteBoxes) {
            QCOMPARE(box->script.boxes[0].title, QString("Invalid Entry"));
            QCOMPARE(box->script.boxes[0].text, QString("Double Quote Characters (\") are Not Allowed"));
            QCOMPARE(box->script.boxes[0].icon, Icon::None);
        }
        QCOMPARE(main->status(1), (stored == before && !quoteBoxes) || busy
                                      ? QString("unchanged")
                                      : QString("Current Configuration Modified, Does Not Match Encoder"));
    }

    void emptiedMessage() {
        open("Hi");
        w->fgMessages->setCurrent(3, 1);
        w->fgMessages_Click();
        w->txtMsg->selectAll();
        QTest::keyClick(w->txtMsg, Qt::Key_Backspace);
        QCOMPARE(shared().Db.Messages[2], QByteArray(""));
        QCOMPARE(w->fgMessages->background(3, 1), QColor(192, 192, 192));
    }

    void keys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("toRow");
        row("Down from 15", int(Qt::Key_Down), 15, 1);
        row("Right from 15", int(Qt::Key_Right), 15, 1);
        row("Enter", int(Qt::Key_Return), 4, 5);
        row("Tab", int(Qt::Key_Tab), 15, 1);
        row("Shift+Tab", int(Qt::Key_Backtab), 7, 8);
        row("Up from 1", int(Qt::Key_Up), 1, 15);
        row("Left from 1", int(Qt::Key_Left), 1, 15);
        row("Left from 9", int(Qt::Key_Left), 9, 8);
        row("Left from 4", int(Qt::Key_Left), 4, 3);
        row("Up from 2", int(Qt::Key_Up), 2, 1);
        row("F1 stays", int(Qt::Key_F1), 4, 4);
    }
    void keys() {
        QFETCH(int, key);
        QFETCH(int, row);
        QFETCH(int, toRow);
        open("Call 911");
        w->fgMessages->setCurrent(row, 1);
        w->fgMessages_Click();
        QTest::keyClick(w->txtMsg, Qt::Key(key));
        QCOMPARE(w->fgMessages->row(), toRow);
        QVERIFY(w->fgMessages->cellVisible(toRow, 1));
        QCOMPARE(w->txtMsg->text().toLatin1(), shared().Db.Messages[toRow - 1]);
        QCOMPARE(w->txtMsg->cursorPosition(), w->txtMsg->text().size());
        QCOMPARE(w->focusWidget(), w->txtMsg);
        QCOMPARE(box->script.openedDocuments.size(), key == Qt::Key_F1 ? 1 : 0);
    }
};

QTEST_MAIN(TestMessages)
#include "tst_messages.moc"

// The display-only grid: header coordinates, unpainted colour, editors over a cell, the key
// handler seeing Tab and Shift+Tab, and a user scroll hiding the editors.

#include "editors/EditorGrid.h"
#include "support/TestSupport.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

using namespace qpes;
using namespace qpes::test;

class TestEditorGrid : public QObject {
    Q_OBJECT
private slots:
    void cellsAndHeaders();
    void keysReachTheHandler_data();
    void keysReachTheHandler();
    void userScrollHidesEditors();
    void columnsFitTheirTexts();
};

void TestEditorGrid::cellsAndHeaders() {
    EditorGrid grid(51, 12);
    QCOMPARE(grid.rowCount(), 50); // the header row and column are Qt's headers
    QCOMPARE(grid.columnCount(), 11);
    grid.setUnpaintedColour(QColor(128, 128, 128));
    grid.setText(0, 1, "Active");
    grid.setText(0, 3, "Start ID");
    grid.setText(1, 0, " 1");
    grid.setText(7, 0, " 7");
    grid.setText(1, 1, "ON");
    grid.setText(7, 3, "0100");
    grid.setText(50, 11, "None");
    QCOMPARE(grid.horizontalHeaderItem(0)->text(), QString("Active"));
    QCOMPARE(grid.horizontalHeaderItem(2)->text(), QString("Start ID"));
    QCOMPARE(grid.verticalHeaderItem(0)->text(), QString(" 1"));
    QCOMPARE(grid.verticalHeaderItem(6)->text(), QString(" 7"));
    QCOMPARE(grid.item(0, 0)->text(), QString("ON"));
    QCOMPARE(grid.item(6, 2)->text(), QString("0100"));
    QCOMPARE(grid.text(50, 11), QString("None"));

    QPalette text = grid.palette(); // unpainted text in the grid's own colour
    text.setColor(QPalette::Text, Qt::blue);
    grid.setPalette(text);
    grid.paintRow(7, 2, 4, Qt::cyan);
    grid.setForeground(7, 4, Qt::darkGray);
    for (int c = 1; c <= 5; ++c)
        QCOMPARE(grid.background(7, c), c >= 2 && c <= 4 ? QColor(Qt::cyan) : QColor(128, 128, 128));
    QCOMPARE(grid.foreground(7, 4), QColor(Qt::darkGray));
    QCOMPARE(grid.foreground(7, 3), QColor(Qt::blue));

    // Every cell of a column takes its alignment, the heading too; the row labels leave the
    // corner alone.
    grid.setColumnAlignment(3, Qt::AlignLeft);
    grid.setColumnAlignment(0, Qt::AlignHCenter);
    const QString cells[] = {alignment(grid.horizontalHeaderItem(2)),
                             alignment(grid.item(0, 2)),
                             alignment(grid.item(49, 2)),
                             alignment(grid.item(0, 1)),
                             alignment(grid.verticalHeaderItem(0)),
                             alignment(grid.verticalHeaderItem(49)),
                             alignment(grid.horizontalHeaderItem(0))};
    QCOMPARE(QStringList(std::begin(cells), std::end(cells)).join(' '),
             QString("left left left  centre centre "));

    // The headings are labels: a click on one leaves the current cell where it was.
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.setCurrentCell(4, 4);
    for (QHeaderView* heading : {grid.horizontalHeader(), grid.verticalHeader()}) {
        const int at = heading->sectionViewportPosition(1) + heading->sectionSize(1) / 2;
        const QPoint inSection = heading->orientation() == Qt::Horizontal ? QPoint(at, heading->height() / 2)
                                                                          : QPoint(heading->width() / 2, at);
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, inSection);
        QCOMPARE(std::pair(grid.currentRow(), grid.currentColumn()), std::pair(4, 4));
    }
}

void TestEditorGrid::keysReachTheHandler_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("onEditor");
    QTest::addColumn<bool>("consumed");
    QTest::newRow("Tab on the editor") << int(Qt::Key_Tab) << true << true;
    QTest::newRow("Shift+Tab on the editor") << int(Qt::Key_Backtab) << true << true;
    QTest::newRow("Tab on the grid") << int(Qt::Key_Tab) << false << true;
    QTest::newRow("Down on the grid") << int(Qt::Key_Down) << false << true;
    // A Tab the handler passes on leaves the grid, as on any other widget.
    QTest::newRow("Tab passed on") << int(Qt::Key_Tab) << true << false;
}

void TestEditorGrid::keysReachTheHandler() {
    QFETCH(int, key);
    QFETCH(bool, onEditor);
    QFETCH(bool, consumed);
    QWidget window;
    auto* grid = new EditorGrid(51, 12, &window);
    auto* editor = new QLineEdit;
    grid->addEditor(editor);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QList<int> seen;
    grid->setKeyHandler([&](QKeyEvent* e) {
        seen.append(e->key());
        return consumed;
    });
    grid->setCurrent(3, 2);
    grid->placeEditor(editor, 3, 2);
    editor->show();
    QWidget* target = onEditor ? static_cast<QWidget*>(editor) : grid;
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(seen, QList<int>{key});
    QCOMPARE(QApplication::focusWidget() == target, consumed);
    QCOMPARE(editor->geometry(), grid->visualRect(grid->model()->index(2, 1)));
}

void TestEditorGrid::userScrollHidesEditors() {
    QWidget window;
    window.resize(400, 200);
    auto* grid = new EditorGrid(51, 12, &window);
    grid->resize(400, 200);
    auto* editor = new QLineEdit;
    grid->addEditor(editor);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int reported = 0;
    connect(grid, &EditorGrid::userScrolled, this, [&] { ++reported; });

    int clicked = 0;
    connect(grid, &EditorGrid::cellClick, this, [&] { ++clicked; });

    grid->setCurrent(1, 2);
    grid->placeEditor(editor, 1, 2);
    editor->show();
    QVERIFY(grid->cellVisible(1, 2));
    QVERIFY(!grid->cellVisible(50, 11));
    grid->scrollToCell(50, 11); // by code: no report, the editor stays
    QVERIFY(grid->cellVisible(50, 11));
    QVERIFY(!grid->cellVisible(1, 2));
    grid->scrollToCell(1, 1);
    QVERIFY(grid->cellVisible(1, 1));
    QCOMPARE(reported, 0);
    QVERIFY(editor->isVisible());

    // A click on a row cut by the grid's lower edge makes it current without scrolling.
    int cut = 1;
    while (grid->cellVisible(cut, 2))
        ++cut;
    const QRect rect = grid->cellRect(cut, 2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(rect.center().x(), rect.top() + 2));
    QCOMPARE(std::pair(grid->row(), grid->col()), std::pair(cut, 2));
    QCOMPARE(clicked, 1);
    // An item view scrolls to a clicked cell on a coarse timer of this length (up to 5% late);
    // a timer that falls due after it fires after it.
    const int scrollDue = QApplication::doubleClickInterval() + 100;
    QTimer afterScroll;
    afterScroll.setSingleShot(true);
    afterScroll.setTimerType(Qt::PreciseTimer);
    QSignalSpy pastScroll(&afterScroll, &QTimer::timeout);
    afterScroll.start(scrollDue + scrollDue / 20 + 2);
    QVERIFY(pastScroll.wait());
    QCOMPARE(reported, 0);
    QVERIFY(!grid->cellVisible(cut, 2));

    grid->verticalScrollBar()->setValue(3); // as the user's scroll bar does
    QCOMPARE(reported, 1);
    QVERIFY(!editor->isVisible());
    QCOMPARE(std::pair(grid->row(), grid->col()), std::pair(cut, 2)); // the current cell stays
}

// Each column as wide as its text, the row labels too, and a grid as wide as contentWidth()
// shows them all without scrolling sideways.
void TestEditorGrid::columnsFitTheirTexts() {
    QWidget window;
    auto* grid = new EditorGrid(51, 5, &window);
    const QStringList texts{" Timer Active    ", "^Active", "Start Capcode ", "W", "Suffix Msg"};
    for (int c = 0; c < texts.size(); ++c)
        grid->fitColumn(c, texts[c]);
    grid->resize(grid->contentWidth(), 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(grid->horizontalScrollBar()->maximum(), 0);
    const QFontMetrics metrics = grid->fontMetrics();
    QVERIFY(grid->verticalHeader()->width() >= metrics.horizontalAdvance(texts[0]));
    for (int c = 1; c < texts.size(); ++c)
        QVERIFY2(grid->columnWidth(c - 1) >= metrics.horizontalAdvance(texts[c]), qPrintable(texts[c]));
}

QTEST_MAIN(TestEditorGrid)
#include "tst_editorgrid.moc"

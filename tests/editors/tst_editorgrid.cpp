// The display-only grid: header coordinates, unpainted colour, editors over a cell, the key
// handler seeing Tab and Shift+Tab, and a user scroll hiding the editors.

#include "editors/EditorGrid.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

using namespace qpes;

class TestEditorGrid : public QObject {
    Q_OBJECT
private slots:
    void cellsAndHeaders();
    void keysReachTheHandler_data();
    void keysReachTheHandler();
    void userScrollHidesEditors();
};

void TestEditorGrid::cellsAndHeaders() {
    EditorGrid grid(51, 12);
    grid.setUnpaintedColour(QColor(128, 128, 128));
    grid.setText(0, 3, "Start ID");
    grid.setText(7, 0, " 7");
    grid.setText(7, 3, "0100");
    grid.setBackground(7, 4, Qt::cyan);
    QCOMPARE(grid.horizontalHeaderItem(2)->text(), QString("Start ID"));
    QCOMPARE(grid.verticalHeaderItem(6)->text(), QString(" 7"));
    QCOMPARE(grid.item(6, 2)->text(), QString("0100"));
    QCOMPARE(grid.background(7, 4), QColor(Qt::cyan));
    QCOMPARE(grid.background(7, 5), QColor(128, 128, 128));
}

void TestEditorGrid::keysReachTheHandler_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("onEditor");
    QTest::newRow("Tab on the editor") << int(Qt::Key_Tab) << true;
    QTest::newRow("Shift+Tab on the editor") << int(Qt::Key_Backtab) << true;
    QTest::newRow("Tab on the grid") << int(Qt::Key_Tab) << false;
    QTest::newRow("Down on the grid") << int(Qt::Key_Down) << false;
}

void TestEditorGrid::keysReachTheHandler() {
    QFETCH(int, key);
    QFETCH(bool, onEditor);
    QWidget window;
    auto* grid = new EditorGrid(51, 12, &window);
    auto* editor = new QLineEdit;
    auto* other = new QLineEdit(&window);
    grid->addEditor(editor);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QList<int> seen;
    grid->setKeyHandler([&](QKeyEvent* e) {
        seen.append(e->key());
        return true;
    });
    grid->setCurrent(3, 2);
    grid->placeEditor(editor, 3, 2);
    editor->show();
    QWidget* target = onEditor ? static_cast<QWidget*>(editor) : grid;
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(seen, QList<int>{key});
    QCOMPARE(QApplication::focusWidget(), target);
    QCOMPARE(editor->geometry().topLeft(), grid->cellRect(3, 2).topLeft());
    QVERIFY(other);
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

    grid->setCurrent(1, 2);
    grid->placeEditor(editor, 1, 2);
    editor->show();
    grid->scrollToCell(50, 2); // by code: no report, the editor stays
    QVERIFY(grid->cellVisible(50, 2));
    QCOMPARE(reported, 0);
    QVERIFY(editor->isVisible());

    grid->verticalScrollBar()->setValue(0); // as the user's scroll bar does
    QCOMPARE(reported, 1);
    QVERIFY(!editor->isVisible());
    QCOMPARE(std::pair(grid->row(), grid->col()), std::pair(1, 2)); // the window's rule, not the grid's
}

QTEST_MAIN(TestEditorGrid)
#include "tst_editorgrid.moc"

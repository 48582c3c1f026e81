#pragma once
// A grid that only displays: the editor windows keep their own current row and column, paint
// every cell themselves and lay their own editor widgets over the current cell. Coordinates
// count the fixed header row and column as row 0 and column 0, so cell (r, c) with r, c >= 1 is
// a data cell; row 0 holds the column headers and column 0 the row labels.

#include <QColor>
#include <QList>
#include <QTableWidget>
#include <functional>

class QKeyEvent;

namespace qpes {

class EditorGrid : public QTableWidget {
    Q_OBJECT
public:
    // A grid's usual row height; the heading row is as high.
    static constexpr int UsualRowTwips = 240;

    // `rows` and `cols` include the header row and column.
    EditorGrid(int rows, int cols, QWidget* parent = nullptr);

    int rows() const { return rowCount() + 1; }
    int cols() const { return columnCount() + 1; }

    // The window's current cell; column 0 (no editor) may be current. Nothing is painted.
    int row() const { return m_row; }
    int col() const { return m_col; }
    void setRow(int r) { m_row = r; }
    void setCol(int c) { m_col = c; }
    void setCurrent(int r, int c) {
        m_row = r;
        m_col = c;
    }

    // Texts and colours of data cells; row 0 and column 0 set the header texts.
    void setText(int r, int c, const QString& text);
    QString text(int r, int c) const;
    void setBackground(int r, int c, const QColor& colour);
    // The cell's own colour, or the grid's unpainted colour when it was never painted.
    QColor background(int r, int c) const;
    void setForeground(int r, int c, const QColor& colour);
    QColor foreground(int r, int c) const;
    // Paints columns c1 to c2 of row r in one colour.
    void paintRow(int r, int c1, int c2, const QColor& colour);
    // Every data cell back to empty and never painted; the headers stay.
    void clearCells();
    // The data cells of column c alone.
    void clearColumn(int c);
    // The colour of cells that were never painted (the grid's own background).
    void setUnpaintedColour(const QColor& colour);
    // Column c as wide as the heading `sample` needs (column 0: the row labels).
    void fitColumn(int c, const QString& sample);
    void setColumnAlignment(int c, Qt::Alignment alignment);
    // The width that shows every column without horizontal scrolling, with room for the
    // vertical scroll bar when the rows need one.
    int contentWidth() const;
    // Widens the grid to contentWidth() when it is narrower; returns how much it grew.
    int growToContent();

    // Editors are children of the viewport, without frames so that they fit a row; placing one
    // puts it on the cell's rectangle, widened by `extraWidth`. Scrolling by the user hides
    // every editor added here and leaves the current cell as it was.
    void addEditor(QWidget* editor);
    void placeEditor(QWidget* editor, int r, int c, int extraWidth = 0);
    void hideEditors();
    // The cell's rectangle in viewport coordinates.
    QRect cellRect(int r, int c) const;

    // Scrolls so that the cell is in view without reporting a user scroll.
    void scrollToCell(int r, int c);
    bool cellVisible(int r, int c) const;

    // Every key pressed on the grid or on a watched widget (the editors are watched) goes to
    // the handler first, Tab and Shift+Tab included; true consumes it.
    using KeyHandler = std::function<bool(QKeyEvent*)>;
    void setKeyHandler(KeyHandler handler) { m_keyHandler = std::move(handler); }
    void watchKeys(QWidget* w);

signals:
    // The user clicked data cell (r, c); it is already current.
    void cellClick(int r, int c);
    // The user scrolled: the editors are hidden.
    void userScrolled();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QTableWidgetItem* cell(int r, int c) const;
    void onScrollValue();

    int m_row = 0;
    int m_col = 0;
    bool m_scrollingByCode = false;
    QColor m_unpainted;
    QList<QWidget*> m_editors;
    KeyHandler m_keyHandler;
};

} // namespace qpes

#include "editors/EditorGrid.h"

#include "platform/Platform.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOption>
#include <algorithm>

namespace qpes {

namespace {

// Headings with a grid's narrow margins: a heading's own blanks set its column's width, and a
// row of the usual height holds its text.
class HeadingStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_HeaderMargin)
            return 2;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

EditorGrid::EditorGrid(int rows, int cols, QWidget* parent)
    : QTableWidget(rows - 1, cols - 1, parent), m_unpainted(palette().color(QPalette::Base)) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setAutoScroll(false);
    setTabKeyNavigation(false);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    auto* headingStyle = new HeadingStyle;
    headingStyle->setParent(this);
    horizontalHeader()->setStyle(headingStyle);
    verticalHeader()->setStyle(headingStyle);
    const int rowHeight = twipsToPixels(UsualRowTwips);
    verticalHeader()->setMinimumSectionSize(rowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    horizontalHeader()->setFixedHeight(rowHeight);
    for (int c = 0; c < columnCount(); ++c)
        setHorizontalHeaderItem(c, new QTableWidgetItem);
    for (int r = 0; r < rowCount(); ++r) {
        setVerticalHeaderItem(r, new QTableWidgetItem);
        for (int c = 0; c < columnCount(); ++c) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            setItem(r, c, item);
        }
    }
    connect(this, &QTableWidget::cellClicked, this, [this](int r, int c) {
        m_row = r + 1;
        m_col = c + 1;
        emit cellClick(m_row, m_col);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &EditorGrid::onScrollValue);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &EditorGrid::onScrollValue);
    watchKeys(this);
}

QTableWidgetItem* EditorGrid::cell(int r, int c) const {
    if (r == 0 && c >= 1)
        return horizontalHeaderItem(c - 1);
    if (c == 0 && r >= 1)
        return verticalHeaderItem(r - 1);
    return item(r - 1, c - 1);
}

void EditorGrid::setText(int r, int c, const QString& text) {
    if (auto* it = cell(r, c))
        it->setText(text);
}

QString EditorGrid::text(int r, int c) const {
    auto* it = cell(r, c);
    return it ? it->text() : QString();
}

void EditorGrid::setBackground(int r, int c, const QColor& colour) {
    if (auto* it = cell(r, c))
        it->setBackground(colour);
}

QColor EditorGrid::background(int r, int c) const {
    auto* it = cell(r, c);
    if (!it || it->background().style() == Qt::NoBrush)
        return m_unpainted;
    return it->background().color();
}

void EditorGrid::setForeground(int r, int c, const QColor& colour) {
    if (auto* it = cell(r, c))
        it->setForeground(colour);
}

QColor EditorGrid::foreground(int r, int c) const {
    auto* it = cell(r, c);
    if (!it || it->foreground().style() == Qt::NoBrush)
        return palette().color(QPalette::Text);
    return it->foreground().color();
}

void EditorGrid::paintRow(int r, int c1, int c2, const QColor& colour) {
    for (int c = c1; c <= c2; ++c)
        setBackground(r, c, colour);
}

void EditorGrid::clearCells() {
    for (int c = 1; c < cols(); ++c)
        clearColumn(c);
}

void EditorGrid::clearColumn(int c) {
    for (int r = 1; r < rows(); ++r) {
        QTableWidgetItem* it = cell(r, c);
        it->setText(QString());
        it->setBackground(QBrush());
        it->setForeground(QBrush());
    }
}

void EditorGrid::setUnpaintedColour(const QColor& colour) {
    m_unpainted = colour;
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Base, colour);
    viewport()->setPalette(p);
    setPalette(p);
}

void EditorGrid::fitColumn(int c, const QString& sample) {
    QHeaderView* header = c == 0 ? verticalHeader() : horizontalHeader();
    QStyleOptionHeader heading;
    heading.initFrom(header);
    heading.text = sample;
    const int width =
        header->style()->sizeFromContents(QStyle::CT_HeaderSection, &heading, QSize(), header).width();
    if (c == 0)
        verticalHeader()->setFixedWidth(width);
    else
        setColumnWidth(c - 1, width);
}

int EditorGrid::contentWidth() const {
    int width = verticalHeader()->width() + horizontalHeader()->length() + 2 * frameWidth();
    const int rowsHeight = horizontalHeader()->height() + verticalHeader()->length() + 2 * frameWidth();
    if (rowsHeight > height())
        width += verticalScrollBar()->sizeHint().width();
    return width;
}

int EditorGrid::growToContent() {
    const int extra = std::max(0, contentWidth() - width());
    resize(width() + extra, height());
    return extra;
}

void EditorGrid::setColumnAlignment(int c, Qt::Alignment alignment) {
    alignment |= Qt::AlignVCenter;
    if (c == 0) {
        for (int r = 1; r < rows(); ++r)
            cell(r, 0)->setTextAlignment(alignment);
        return;
    }
    for (int r = 0; r < rows(); ++r)
        cell(r, c)->setTextAlignment(alignment);
}

void EditorGrid::addEditor(QWidget* editor) {
    if (auto* box = qobject_cast<QLineEdit*>(editor))
        box->setFrame(false);
    else if (auto* list = qobject_cast<QComboBox*>(editor))
        list->setFrame(false);
    editor->setParent(viewport());
    // An editor shows as a box, not in the colour of the cells nobody painted.
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Base, QApplication::palette(editor).color(QPalette::Base));
    editor->setPalette(palette);
    editor->hide();
    m_editors.append(editor);
    watchKeys(editor);
}

QRect EditorGrid::cellRect(int r, int c) const {
    if (r < 1 || c < 1)
        return {};
    return visualRect(model()->index(r - 1, c - 1));
}

void EditorGrid::placeEditor(QWidget* editor, int r, int c, int extraWidth) {
    const QRect rect = cellRect(r, c);
    editor->setGeometry(rect.x(), rect.y(), rect.width() + extraWidth, rect.height());
    editor->raise();
}

void EditorGrid::hideEditors() {
    for (QWidget* e : std::as_const(m_editors))
        e->hide();
}

void EditorGrid::scrollToCell(int r, int c) {
    if (r < 1 || c < 1)
        return;
    m_scrollingByCode = true;
    scrollTo(model()->index(r - 1, c - 1), QAbstractItemView::EnsureVisible);
    m_scrollingByCode = false;
}

bool EditorGrid::cellVisible(int r, int c) const {
    const QRect rect = cellRect(r, c);
    return !rect.isEmpty() && viewport()->rect().contains(rect);
}

void EditorGrid::onScrollValue() {
    if (m_scrollingByCode)
        return;
    hideEditors();
    emit userScrolled();
}

void EditorGrid::watchKeys(QWidget* w) {
    w->installEventFilter(this);
}

bool EditorGrid::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && m_keyHandler) {
        if (m_keyHandler(static_cast<QKeyEvent*>(e)))
            return true;
    }
    return QTableWidget::eventFilter(watched, e);
}

} // namespace qpes

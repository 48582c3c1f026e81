#include "console/ConsoleWidgets.h"

#include "platform/Platform.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>

namespace qpes {

void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

QLabel* makeLabel(const char* name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QPushButton* makeButton(const char* name, const char* text, QWidget* parent) {
    auto* b = new QPushButton(QString::fromLatin1(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

MessageEdit::MessageEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
}

int MessageEdit::room() const {
    return m_maxLength - (length() - int(textCursor().selectedText().size()));
}

void MessageEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->ignore(); // the dialog's default button takes it
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        QPlainTextEdit::keyPressEvent(e); // through insertFromMimeData
        return;
    }
    const QString typed = e->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() && room() < typed.size())
        return;
    QPlainTextEdit::keyPressEvent(e);
}

bool MessageEdit::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText();
}

void MessageEdit::insertFromMimeData(const QMimeData* source) {
    QString text = source->text();
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QChar::ParagraphSeparator, QLatin1Char(' '));
    text.replace(QChar::LineSeparator, QLatin1Char(' '));
    text.truncate(qMax(0, room()));
    textCursor().insertText(text);
}

} // namespace qpes

#include "console/ConsoleWidgets.h"

#include "platform/Platform.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QValidator>

namespace qpes {

void lineEndsToBlanks(QString& text) {
    // A text document also breaks its text at the frame marks it keeps for itself.
    for (const QChar end : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::ParagraphSeparator),
                            QChar(QChar::LineSeparator), QChar(u'\uFDD0'), QChar(u'\uFDD1')})
        text.replace(end, QLatin1Char(' '));
}

namespace {

class OneLine : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        lineEndsToBlanks(input);
        return Acceptable;
    }
};

} // namespace

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

void keepOnOneLine(QLineEdit* box) {
    box->setValidator(new OneLine(box));
}

MessageEdit::MessageEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
}

QString MessageEdit::text() const {
    QString text = document()->toRawText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n'; // the document's line marks
    return text;
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
    lineEndsToBlanks(text);
    text.truncate(qMax(0, room()));
    textCursor().insertText(text);
}

} // namespace qpes

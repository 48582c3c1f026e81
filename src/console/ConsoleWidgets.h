#pragma once
// Small builders the console's windows share: controls named and placed in twips, and the
// message box that keeps a typing limit and one line.

#include <QPlainTextEdit>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qpes {

void place(QWidget* w, int left, int top, int width, int height); // twips
QLabel* makeLabel(const char* name, const QString& text, QWidget* parent);
QPushButton* makeButton(const char* name, const char* text, QWidget* parent);
// A one-line box in which every line end that arrives, typed, pasted, dropped or set, becomes
// a blank, so its text never breaks a TAP block's fields.
void keepOnOneLine(QLineEdit* box);
void lineEndsToBlanks(QString& text);

// A multi-line box with a typing limit: typing, pasting and dropping stop at `maxLength`
// characters, any line end that arrives becomes a blank (one line is one TAP field), and Enter
// goes to the window's default button. Text set by the program is taken whole.
class MessageEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MessageEdit(QWidget* parent = nullptr);
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int n) { m_maxLength = n; }
    // The text as it stands: unlike toPlainText(), a no-break space stays one.
    QString text() const;
    int length() const { return int(text().size()); }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int room() const; // characters that may still be typed in place of the selection
    int m_maxLength = 32767;
};

} // namespace qpes

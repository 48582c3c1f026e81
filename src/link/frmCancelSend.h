#pragma once
// The progress box: one line or two saying what a long operation is doing, and a Cancel button
// that only raises CancelRequested; the operation notices it at its next poll. Created on first
// use and kept in front of the program's windows until the operation unloads it.

#include <QWidget>

class QLabel;
class QPushButton;

namespace qpes {

class frmCancelSend : public QWidget {
    Q_OBJECT
public:
    // The one box of this process; with `create` it is made (hidden) when not loaded.
    static frmCancelSend* instance(bool create = true);
    static bool isLoaded();
    // Sets the step text (CR starts a new line); loads the box hidden when needed.
    static void setLabel(const QString& text);
    // Shows the box without blocking the caller.
    static void showBox();
    // Closes and destroys the box; nothing happens when it is not loaded.
    static void unload();

    QLabel* Label1;
    QPushButton* Command1;

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    frmCancelSend();
    ~frmCancelSend() override;
    void Command1_Click();
    void Form_Activate();
    void Form_Deactivate();
    void followFocus();

    bool m_yielded = false; // hidden while a modal box is up
};

} // namespace qpes

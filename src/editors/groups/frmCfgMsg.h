#pragma once
// The canned messages editor: the 15 messages in a grid, one text box laid over the current
// message, every keystroke stored at once.

#include <QByteArray>
#include <QWidget>

class QLineEdit;
class QPushButton;

namespace qpes {

class EditorGrid;

class frmCfgMsg : public QWidget {
    Q_OBJECT
public:
    // Loads the window, or brings the loaded one forward.
    static frmCfgMsg* open();
    static frmCfgMsg* instance();

    // Event handlers.
    bool Form_KeyDown(int keyCode); // true: the key was consumed
    void fgMessages_Click();
    void txtMsg_Change();
    void cmdOK_Click();

    EditorGrid* fgMessages;
    QLineEdit* txtMsg;
    QPushButton* cmdOK;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    frmCfgMsg();
    void Form_Load();
    void showMessages();
    void refill();
    void showMessage(int row, const QByteArray& message);

    QByteArray m_typed; // txtMsg's text before the last keystroke
};

} // namespace qpes

#pragma once
// The test console: a pager ID and a message, Send, the message archive, the console log with
// its log file, and the range test run by the console's own timers.

#include "model/TapPaging.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <optional>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace qpes {

class MessageEdit;
class frmRangeTest;

class frmMessageTest : public QDialog {
    Q_OBJECT
public:
    // Loads the console afresh and shows it modally over `owner`; returns when it has closed.
    static void showModal(QWidget* owner);
    // The console, when loaded; the one loaded afresh, hidden, with `create`.
    static frmMessageTest* instance(bool create = false, QWidget* owner = nullptr);
    // Unloads the console when it is loaded (port closed, file opened, shutdown).
    static void unload();
    ~frmMessageTest() override;

    QLineEdit* txtPIN;
    MessageEdit* txtMessage;
    QLabel* Label4;
    QLabel* Label1;
    QLabel* Label7;
    QPushButton* cmdSendMsg;
    QLabel* lblMsgLen;
    QListWidget* lb_log;
    QLabel* Label2;
    QListWidget* lb_Archive;
    QPushButton* cmdAdd;
    QPushButton* cmdDelete;
    QPushButton* cmdReplace;
    QCheckBox* Check1;
    QCheckBox* ChkLogInOut;
    QTimer* Timer1; // the range test's one-second tick
    QTimer* Timer2; // the range-test loop
    QAction* mnuExit;
    QAction* mnuRangeTest;

    void cmdSendMsg_Click();
    void mnuRangeTest_Click();
    void mnuExit_Click();
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdReplace_Click();
    void Check1_Click();

    // The range test's Start, from the setup dialog: `cycle` seconds between pages.
    void startRangeTest(const QString& pin, int cycle);
    // The setup dialog closed without a start.
    void rangeTestCancelled();
    QString archivePath() const { return m_archivePath; }
    bool pageUnderWay() const { return m_pageUnderWay.has_value(); }

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    explicit frmMessageTest(QWidget* owner);
    void Form_Load();
    void Form_Unload();
    void txtPIN_Change();
    void txtMessage_Change();
    void lb_Archive_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void applyLengthRule(PageKind kind);
    void sendRangeTestPage();
    void startLoopTimer();
    void writeArchive();
    void setArchiveRow(int row); // selects without copying the entry into the message box

    QList<QByteArray> m_archive; // lb_Archive's entries as bytes
    QString m_archivePath;       // messages.dat in the program's folder
    bool m_unloaded = false;
    std::optional<PageKind> m_pageUnderWay; // a Send's page or a range test's
    bool m_loopRunning = false;
    bool m_restarted = false;
    int m_pageCounter = 0;
};

} // namespace qpes

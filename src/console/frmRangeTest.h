#pragma once
// The range test's setup: base message, pager PIN and cycle time. Start hides it; it stays
// loaded while the test runs, which reads its base message for every page.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qpes {

class frmMessageTest;

class frmRangeTest : public QDialog {
    Q_OBJECT
public:
    explicit frmRangeTest(frmMessageTest* console);
    ~frmRangeTest() override;
    static frmRangeTest* instance();
    static void unload();

    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* txtBaseMsg;
    QLabel* Label3;
    QLineEdit* txtPIN;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* txtCycleTime;
    QLabel* Label6;
    QPushButton* cmdStart;
    QPushButton* cmdCancel;

    void cmdStart_Click();
    void cmdCancel_Click();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void Form_Load();
    frmMessageTest* m_console;
};

} // namespace qpes

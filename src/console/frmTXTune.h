#pragma once
// Transmitter tuning: three buttons that make the encoder send its test signal at 512, 1200 or
// 2400 bps. Nothing is read back.

#include <QDialog>

class QLabel;
class QPushButton;
class QAction;

namespace qpes {

class frmTXTune : public QDialog {
    Q_OBJECT
public:
    // Loads the dialog and shows it modally over `owner`; returns when it has closed.
    static void showModal(QWidget* owner);
    explicit frmTXTune(QWidget* owner);
    ~frmTXTune() override;

    QLabel* Label1;
    QPushButton* cmd512;
    QPushButton* cmd1200;
    QPushButton* cmd2400;
    QAction* mnuExit;

    void sendTestSignal(int bps);

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Form_Unload();
    bool m_unloaded = false;
};

} // namespace qpes

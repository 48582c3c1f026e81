#pragma once
// The splash window: the program's start and its About box.

#include <QTimer>
#include <QWidget>

class QLabel;

namespace qpes {

class frmSplash : public QWidget {
    Q_OBJECT
public:
    // Creates the splash when it is not loaded and runs its load.
    static frmSplash* load();
    static frmSplash* instance();

    QTimer Timer1; // closes the splash 6 s after its load

    // Shows the main window and unloads the splash (timer, click or key).
    void dismiss();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    frmSplash();
    void Form_Load();

    QLabel* Picture1 = nullptr;
    QLabel* lblVersion = nullptr;
};

} // namespace qpes

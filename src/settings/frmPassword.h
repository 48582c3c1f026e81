#pragma once
// The access prompt in front of the advanced settings: only the access code opens them.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qpes {

class frmPassword : public QDialog {
    Q_OBJECT
public:
    // Builds the prompt with an empty box and OK disabled; the caller shows it modally.
    explicit frmPassword(QWidget* parent = nullptr);

    // The right code shows the settings modally and closes the prompt once they have closed; a
    // wrong one does nothing.
    void cmdOK_Click();
    void cmdCancel_Click();

    QLabel* Label1;
    QLineEdit* txtName;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    void keyPressEvent(QKeyEvent* event) override; // Esc is not bound to Cancel

private:
    void Form_Load();
    void txtName_Change(const QString& text);
};

} // namespace qpes

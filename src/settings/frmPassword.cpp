#include "settings/frmPassword.h"

#include "platform/Platform.h"
#include "settings/AdvancedSettings.h"
#include "settings/frmSettings.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace qpes {

frmPassword::frmPassword(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral("Access Advanced Encoder Settings"));
    setFixedSize(twipsToPixels(3870), twipsToPixels(1680));

    Label1 = new QLabel(QStringLiteral("User ID:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    setTwipsGeometry(Label1, 240, 240, 2175, 255);
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    setTwipsGeometry(txtName, 225, 495, 3375, 360);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    setTwipsGeometry(cmdOK, 600, 1080, 1095, 360);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    setTwipsGeometry(cmdCancel, 2040, 1080, 1095, 360);
    txtName->setFocus();

    connect(txtName, &QLineEdit::textChanged, this, &frmPassword::txtName_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmPassword::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPassword::cmdCancel_Click);

    Form_Load();
}

void frmPassword::Form_Load() {
    centreOnScreen(this);
    cmdOK->setEnabled(false);
}

void frmPassword::txtName_Change(const QString& text) {
    if (!text.isEmpty())
        cmdOK->setEnabled(true);
}

void frmPassword::cmdOK_Click() {
    if (!accessCodeMatches(txtName->text()))
        return;
    QPointer<frmPassword> alive(this);
    auto* settings = new frmSettings(this);
    settings->setAttribute(Qt::WA_DeleteOnClose);
    settings->exec();
    if (alive)
        close();
}

void frmPassword::cmdCancel_Click() {
    close();
}

void frmPassword::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace qpes

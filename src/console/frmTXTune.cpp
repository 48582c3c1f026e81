#include "console/frmTXTune.h"

#include "console/ConsoleWidgets.h"
#include "link/Exchange.h"
#include "link/Link.h"
#include "model/Tap.h"
#include "platform/Platform.h"
#include "platform/TerminalControls.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace qpes {

void frmTXTune::showModal(QWidget* owner) {
    QPointer<frmTXTune> dialog = new frmTXTune(owner);
    dialog->exec();
    if (dialog)
        dialog->deleteLater();
}

frmTXTune::frmTXTune(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmTXTune"));
    setWindowTitle(QStringLiteral("Transmitter Tuning"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* menu = new QMenuBar(this);
    mnuExit = menu->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    auto* body = new QWidget(this);
    body->setFixedSize(twipsToPixels(4485), twipsToPixels(2175));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menu);
    layout->addWidget(body);

    Label1 =
        makeLabel("Label1",
                  QStringLiteral("Use the buttons below to cause the paging encoder to output a modulated "
                                 "signal for approximately 30 seconds.  You can use these signals to tune "
                                 "attached transmitters   for proper waveform shaping.  Outputs are "
                                 "available in   512, 1200, and 2400 bps."),
                  body);
    Label1->setWordWrap(true);
    place(Label1, 240, 240, 4215, 1095);
    cmd512 = makeButton("cmd512", "512 bps", body);
    place(cmd512, 240, 1560, 1095, 375);
    cmd1200 = makeButton("cmd1200", "1200 bps", body);
    place(cmd1200, 1680, 1560, 1095, 375);
    cmd2400 = makeButton("cmd2400", "2400 bps", body);
    place(cmd2400, 3120, 1560, 1095, 375);
    setTabOrder(cmd512, cmd1200);
    setTabOrder(cmd1200, cmd2400);

    connect(cmd512, &QPushButton::clicked, this, [this] { sendTestSignal(512); });
    connect(cmd1200, &QPushButton::clicked, this, [this] { sendTestSignal(1200); });
    connect(cmd2400, &QPushButton::clicked, this, [this] { sendTestSignal(2400); });
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);

    adjustSize();
    setFixedSize(size());
    centreOnScreen(this);
}

frmTXTune::~frmTXTune() {
    Form_Unload();
}

void frmTXTune::sendTestSignal(int bps) {
    TerminalControls* t = terminal();
    if (!t)
        return;
    Link& link = t->link();
    CommControl& port = link.MSComm1;
    // A conversation of one command and no reply: a device found gone by it has the port closed
    // with the closing steps once it ends, as after any other command.
    ExchangeGuard guard(link);
    port.clearInBuffer();
    if (port.PortOpen() && !port.Output(testSignalCommand(bps))) {
        reportPendingError(link);
        if (port.deviceGone())
            link.closePortAfterRun();
    }
}

// The window has no Cancel button: Esc leaves it open, as only Exit and the close box close it.
void frmTXTune::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier)
        return;
    QDialog::keyPressEvent(e);
}

void frmTXTune::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

void frmTXTune::Form_Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    TerminalControls* t = terminal();
    if (t && t->link().MSComm1.PortOpen())
        t->setControlEnabled(Control::mnuTest, true);
}

} // namespace qpes

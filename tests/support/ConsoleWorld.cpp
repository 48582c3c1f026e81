#include "support/ConsoleWorld.h"

#include "app/frmTerminal.h"
#include "console/CommunicationsLog.h"
#include "console/ConsoleWidgets.h"
#include "console/frmMessageTest.h"
#include "model/PagerDatabase.h"
#include "platform/Platform.h"
#include "sim/EncoderSim.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace qpes::test {

namespace {
const QDateTime FixedNow(QDate(2026, 1, 2), QTime(15, 4, 5));
}

ConsoleWorld::ConsoleWorld() : encoder(std::make_unique<sim::EncoderSim>()) {
    setLogClock([] { return FixedNow; });
    SettingsStore::setPortDevice(1, encoder->slavePath());
    main = frmTerminal::load();
    main->link().MSComm1.setPortOpen(true);
    SharedState& s = shared();
    clearTables(s.Db);
    s.Db.Families[0][Fam::Defined] = "YES";
    s.Db.Families[0][Fam::StartID] = "100";
    s.Db.Families[0][Fam::PagerQty] = "010";
    s.EncoderMatches = true;
    console = frmMessageTest::instance(true, main);
    console->show();
}

ConsoleWorld::~ConsoleWorld() {
    frmMessageTest::unload();
    setLogClock({});
    delete frmTerminal::instance(); // the windows go first, while the simulated encoder still answers
    encoder.reset();
}

bool ConsoleWorld::ready() const {
    return encoder->isRunning() && main->link().MSComm1.PortOpen();
}

QString ConsoleWorld::stamp() {
    return QStringLiteral("1/2/2026 3:04:05 PM: ");
}

QStringList ConsoleWorld::logTexts() const {
    QStringList texts;
    for (int i = console->lb_log->count() - 1; i >= 0; --i)
        texts << console->lb_log->item(i)->text().mid(stamp().size());
    return texts;
}

void ConsoleWorld::send(const QString& pin, const QString& message) {
    console->txtPIN->setText(pin);
    console->txtMessage->setPlainText(message);
    console->cmdSendMsg->click();
}

void ConsoleWorld::standingLogin() {
    shared().LoggedIn = true;
    encoder->withProtocol([](sim::EncoderProtocol& p) { p.options.requireLogin = false; });
}

frmMessageTest* ConsoleWorld::reopen() {
    frmMessageTest::unload();
    console = frmMessageTest::instance(true, main);
    console->show();
    return console;
}

} // namespace qpes::test

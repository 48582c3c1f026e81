#pragma once
// The test console on its own over the main window, with the simulated encoder on the port,
// a fixed clock for the log and a database that holds the pager IDs 100 to 109.

#include "support/TestSupport.h"

#include <QByteArray>
#include <QStringList>
#include <memory>

namespace sim {
class EncoderSim;
}

namespace qpes {
class frmMessageTest;
class frmTerminal;
} // namespace qpes

namespace qpes::test {

class ConsoleWorld {
public:
    ConsoleWorld();
    ~ConsoleWorld();
    bool ready() const; // the simulator runs and the port is open

    // The console's log texts without their date and time, oldest first.
    QStringList logTexts() const;
    // The log prefix of every line: the fixed clock's date and time and ": ".
    static QString stamp();
    // Types the pager ID and the message and clicks Send.
    void send(const QString& pin, const QString& message);
    // A login that stands on both sides.
    void standingLogin();
    // A fresh console in place of the current one.
    frmMessageTest* reopen();

    Sandbox box;
    std::unique_ptr<sim::EncoderSim> encoder;
    frmTerminal* main = nullptr;
    frmMessageTest* console = nullptr;
};

} // namespace qpes::test

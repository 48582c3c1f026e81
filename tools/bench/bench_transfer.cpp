// Programs a full pager database into the encoder simulator over a line paced at 9600 baud,
// reads it back, and sets each run's elapsed time beside the time its bytes need on the wire
// (10 bits a byte). Not a test: run it by hand.

#include "BenchData.h"
#include "link/Link.h"
#include "link/ProgramDatabase.h"
#include "link/ReadDatabase.h"
#include "model/PagerDatabase.h"
#include "model/Text.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/TerminalControls.h"
#include "sim/EncoderSim.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <map>

using namespace qpes;

namespace {

constexpr int Baud = 9600;

// The main window's surface without the window: the transfers only need its port and timers.
class BenchTerminal : public TerminalControls {
public:
    void setControlEnabled(Control c, bool enabled) override { m_enabled[c] = enabled; }
    bool controlEnabled(Control c) const override {
        const auto it = m_enabled.find(c);
        return it != m_enabled.end() && it->second;
    }
    void setCaption(Control c, const QString& caption) override { m_captions[c] = caption; }
    QString caption(Control c) const override {
        const auto it = m_captions.find(c);
        return it == m_captions.end() ? QString() : it->second;
    }
    void setControlToolTip(Control, const QString&) override {}
    void setChecked(Control, bool) override {}
    void bringToFront(Control) override {}
    void setStatus(int, const QString& text) override { m_status = text; }
    QString status(int) const override { return m_status; }
    Link& link() override { return m_link; }
    void unloadTestConsole() override {}

private:
    std::map<Control, bool> m_enabled;
    std::map<Control, QString> m_captions;
    QString m_status;
    Link m_link;
};

// Every family, group and message defined; messages of 60 characters.
PagerDatabase fullDatabase() {
    PagerDatabase db;
    for (int g = 0; g < GroupCount; ++g) {
        PagerGroup& r = db.Groups[g];
        r[Grp::GroupID] = QByteArray::number(8001 + g);
        r[Grp::Active] = "1";
        r[Grp::CCActive] = "1";
        r[Grp::CCMsg] = QByteArray::number(g + 1);
        r[Grp::COActive] = "1";
        r[Grp::COMsg] = QByteArray::number(15 - g);
        r[Grp::TimerActive] = "1";
        r[Grp::TimerMsg] = "15";
        for (int i = 0; i < 20; ++i)
            r[Grp::PagerID1 + i] = QByteArray::number(1000 + 20 * g + i);
        r[Grp::Defined] = "YES";
    }
    fillFamilies(db.Families);
    for (int m = 0; m < MessageCount; ++m) {
        QByteArray text = "Canned message " + QByteArray::number(m + 1) + ": ";
        while (text.size() < 60)
            text += char('A' + text.size() % 26);
        db.Messages[m] = text;
    }
    return db;
}

struct Run {
    qint64 elapsedMs = 0;
    qint64 sent = 0;     // bytes the program wrote
    qint64 received = 0; // bytes the encoder answered
};

void report(const char* name, const Run& run) {
    const qint64 bytes = run.sent + run.received;
    const double wireMs = double(bytes) * 10 * 1000 / Baud;
    std::printf("%-8s elapsed %6lld ms   bytes %5lld out + %5lld in = %5lld   wire %7.1f ms   ratio %.3f\n",
                name, static_cast<long long>(run.elapsedMs), static_cast<long long>(run.sent),
                static_cast<long long>(run.received), static_cast<long long>(bytes), wireMs,
                double(run.elapsedMs) / wireMs);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    SettingsStore::useFile(dir.filePath(QStringLiteral("settings.ini")));
    DialogScript script;
    Dialogs::setScript(&script);

    sim::EncoderSim encoder;
    if (!encoder.isRunning()) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(encoder.errorString()));
        return 1;
    }
    encoder.setPace(Baud);
    std::atomic<qint64> replied{0};
    encoder.setCommandLog([&replied](const sim::Exchange& e) { replied += e.reply.size(); });
    SettingsStore::setPortDevice(1, encoder.slavePath());

    BenchTerminal terminal;
    setTerminal(&terminal);
    CommControl& port = terminal.link().MSComm1;
    port.setCommPort(1);
    port.setSettings(QStringLiteral("9600,n,8,1"));
    if (!port.setPortOpen(true)) {
        std::fprintf(stderr, "port: %s\n", qPrintable(port.errorDescription()));
        return 1;
    }

    SharedState& s = shared();
    applyStartValues(s);
    s.FormLoading = false;
    const PagerDatabase db = fullDatabase();
    s.Db = db;

    const auto measure = [&](void (*transfer)()) {
        encoder.clearReceived();
        replied = 0;
        QElapsedTimer clock;
        clock.start();
        transfer();
        Run run;
        run.elapsedMs = clock.elapsed();
        run.sent = encoder.received().size();
        run.received = replied;
        return run;
    };

    const Run program = measure(&WriteEncoderDatabase);
    const bool programmed = script.boxes.isEmpty() && s.EncoderMatches;
    clearTables(s.Db);
    const Run read = measure(&ReadEncoderDatabase);
    const bool readBack = script.boxes.isEmpty() && s.Db.Groups == db.Groups &&
                          s.Db.Families == db.Families && s.Db.Messages == db.Messages;

    report("program", program);
    report("read", read);
    setTerminal(nullptr);
    Dialogs::setScript(nullptr);
    if (!programmed || !readBack) {
        std::fprintf(stderr, "transfer failed:%s%s\n", programmed ? "" : " programming",
                     readBack ? "" : " read-back");
        for (const BoxRecord& b : script.boxes)
            std::fprintf(stderr, "  box %s: %s\n", qPrintable(b.title), qPrintable(b.text));
        return 1;
    }
    return 0;
}

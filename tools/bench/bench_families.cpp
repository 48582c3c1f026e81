// The families window on a full database (all 50 families defined): opening it until it is
// painted, one keystroke in a Pager Qty cell until its derived cells are painted again, and
// OK's check over a chain of overlapping families that takes one sweep per family. Not a
// test: run it by hand.

#include "BenchData.h"
#include "editors/EditorGrid.h"
#include "editors/families/frmCfgFam.h"
#include "link/frmCancelSend.h"
#include "model/Families.h"
#include "model/PagerDatabase.h"
#include "model/Text.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace qpes;

namespace {

constexpr int Runs = 20;

// Family 49 starts inside family 48, which sits just below family 47, and so on: each sweep
// moves family 50 past one more family, found only by the next sweep.
void chain(FamilyTable& t) {
    fillFamilies(t);
    for (int f = 0; f < FamilyCount - 1; ++f) {
        t[f][Fam::StartID] = QByteArray::number(100 + 10 * (FamilyCount - 2 - f));
        t[f][Fam::PagerQty] = "010";
    }
    t[FamilyCount - 1][Fam::StartID] = "100";
    t[FamilyCount - 1][Fam::PagerQty] = "010";
}

struct Figures {
    double median = 0;
    double worst = 0;
};

Figures figures(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

void report(const char* name, const Figures& f, double goal) {
    std::printf("%-34s median %7.2f ms   worst %7.2f ms   goal %5.1f ms\n", name, f.median, f.worst, goal);
}

double msSince(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

void key(QWidget* w, int k, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    DialogScript script;
    Dialogs::setScript(&script);
    SharedState& s = shared();
    applyStartValues(s);

    std::vector<double> open, keystroke, check, okTotal;
    int sweeps = 0;
    int typed = 0;
    for (int run = 0; run < Runs; ++run) {
        fillFamilies(s.Db.Families);
        QElapsedTimer clock;
        clock.start();
        frmCfgFam* w = frmCfgFam::open();
        w->grab(); // paints the whole window
        open.push_back(msSince(clock));

        // Pager Qty of family 1 is current after the load: a new quantity over the old one,
        // then Backspace, which empties the cell.
        for (const auto& [k, text] :
             {std::pair{int(Qt::Key_5), QStringLiteral("5")}, std::pair{int(Qt::Key_Backspace), QString()}}) {
            w->txtFam->selectAll();
            clock.start();
            key(w->txtFam, k, text);
            w->fgFamilies->viewport()->grab();
            keystroke.push_back(msSince(clock));
            typed += s.Db.Families[0][Fam::PagerQty] == (text.isEmpty() ? "000" : "005");
        }

        chain(s.Db.Families);
        FamilyTable t = s.Db.Families;
        FamiliesCheckHooks hooks;
        hooks.sweepStart = [&] { ++sweeps; };
        clock.start();
        checkFamilies(t, hooks);
        check.push_back(msSince(clock));

        s.FamiliesChanged = true;
        clock.start();
        w->cmdOK->click();
        okTotal.push_back(msSince(clock));
        delete w;
    }
    report("open until painted", figures(open), 50);
    report("keystroke until repainted", figures(keystroke), 16);
    report("check, widget-free", figures(check), 100);
    report("OK with check, window and box", figures(okTotal), 100);
    std::printf("sweeps per check: %d; result boxes: %lld; keystrokes stored: %d\n", sweeps / Runs,
                static_cast<long long>(script.boxes.size()), typed);
    Dialogs::setScript(nullptr);
    return 0;
}

// The groups and canned messages editors on a full database: from the toolbar command to the
// whole window rendered, one keystroke in a cell with the whole window rendered again (more
// than a screen update repaints), and the groups editor's
// OK with its groups check (200 pager IDs against 50 families). Not a test: run it by hand.

#include "BenchData.h"
#include "app/frmTerminal.h"
#include "editors/EditorGrid.h"
#include "editors/groups/frmCfgGroup.h"
#include "editors/groups/frmCfgMsg.h"
#include "model/PagerDatabase.h"
#include "model/Text.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace qpes;

namespace {

constexpr int Runs = 30;

// Every family, group and message defined. Each pager ID lies in the last family that starts
// at or below it, so the check looks through most families for every ID.
PagerDatabase fullDatabase() {
    PagerDatabase db;
    fillFamilies(db.Families);
    for (int g = 0; g < GroupCount; ++g) {
        PagerGroup& r = db.Groups[g];
        r[Grp::GroupID] = QByteArray::number(8001 + g);
        r[Grp::Active] = "1";
        r[Grp::CCActive] = "1";
        r[Grp::CCMsg] = QByteArray::number(g + 1);
        r[Grp::COActive] = "0";
        r[Grp::COMsg] = "00";
        r[Grp::TimerActive] = "0";
        r[Grp::TimerMsg] = "00";
        for (int i = 0; i < 20; ++i)
            r[Grp::PagerID1 + i] = QByteArray::number(5900 - 100 * (g % 5) + i);
        r[Grp::Defined] = "YES";
        r[Grp::Reference] = "REF" + QByteArray::number(g);
    }
    for (int m = 0; m < MessageCount; ++m)
        db.Messages[m] = "Canned message " + QByteArray::number(m + 1) + QByteArray(40, '.');
    return db;
}

struct Figures {
    double median = 0;
    double worst = 0;
};

Figures measure(const std::function<void()>& prepare, const std::function<void()>& run) {
    std::vector<double> ms;
    for (int i = 0; i < Runs; ++i) {
        prepare();
        QElapsedTimer clock;
        clock.start();
        run();
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

bool report(const char* name, const Figures& f, double goalMs) {
    const bool met = f.worst <= goalMs;
    std::printf("%-34s median %7.2f ms   worst %7.2f ms   goal %5.0f ms  %s\n", name, f.median, f.worst,
                goalMs, met ? "met" : "MISSED");
    return met;
}

void keystroke(QWidget* target, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

void closeEditors() {
    delete frmCfgGroup::instance();
    delete frmCfgMsg::instance();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    SettingsStore::useFile(dir.filePath(QStringLiteral("settings.ini")));
    setProgramFolder(dir.filePath(QStringLiteral("program")));
    DialogScript script;
    Dialogs::setScript(&script);
    frmTerminal* main = frmTerminal::load();
    SharedState& s = shared();
    const PagerDatabase db = fullDatabase();
    s.Db = db;

    bool met = true;
    met &= report("groups editor: open and paint",
                  measure(closeEditors,
                          [main] {
                              main->Toolbar1_ButtonClick(QStringLiteral("group"));
                              frmCfgGroup::instance()->grab();
                          }),
                  50);
    met &= report("messages editor: open and paint",
                  measure(closeEditors,
                          [main] {
                              main->Toolbar1_ButtonClick(QStringLiteral("message"));
                              frmCfgMsg::instance()->grab();
                          }),
                  50);

    closeEditors();
    frmCfgGroup* groups = frmCfgGroup::open();
    groups->fgGroups->setCurrent(frmCfgGroup::RowPagerID1 + 3, 6);
    groups->fgGroups_Click();
    int typed = 0;
    met &= report("groups editor: keystroke in a pager ID",
                  measure([] {},
                          [&] {
                              // Alternately an erasure and the digit back: the stored ID changes each time.
                              if (typed++ % 2 == 0)
                                  keystroke(groups->txtGrp, Qt::Key_Backspace, QString());
                              else
                                  keystroke(groups->txtGrp, Qt::Key_3, QStringLiteral("3"));
                              groups->grab();
                          }),
                  16);

    const bool typedIn = s.Db.Groups[5][Grp::PagerID1 + 3] == "5903" && s.GroupsChanged;
    closeEditors();
    frmCfgMsg* messages = frmCfgMsg::open();
    met &= report("messages editor: keystroke",
                  measure([] {},
                          [&] {
                              if (typed++ % 2 == 0)
                                  keystroke(messages->txtMsg, Qt::Key_A, QStringLiteral("a"));
                              else
                                  keystroke(messages->txtMsg, Qt::Key_Backspace, QString());
                              messages->grab();
                          }),
                  16);

    closeEditors();
    met &= report("groups editor: OK with the check",
                  measure(
                      [&] {
                          closeEditors();
                          s.Db = db;
                          frmCfgGroup::open();
                          s.GroupsChanged = true;
                      },
                      [] { frmCfgGroup::instance()->cmdOK_Click(); }),
                  100);
    const bool checked =
        s.DatabaseChecked && !s.GroupsChanged && s.Db.Groups == db.Groups && script.boxes.isEmpty();

    closeEditors();
    delete main;
    Dialogs::setScript(nullptr);
    if (!checked || !typedIn) {
        std::fprintf(stderr, "%s\n",
                     typedIn ? "the check did not run cleanly" : "the keystrokes stored nothing");
        return 1;
    }
    return met ? 0 : 2;
}

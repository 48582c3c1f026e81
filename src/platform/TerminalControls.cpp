#include "platform/TerminalControls.h"

#include "model/PagerDatabase.h"

#include <QPointer>
#include <utility>
#include <vector>

namespace qpes {

namespace {
TerminalControls* g_terminal = nullptr;

struct Follower {
    QPointer<QObject> editor;
    std::function<void(int)> refill;
};
std::vector<Follower> g_followers;
} // namespace

TerminalControls* terminal() {
    return g_terminal;
}
void setTerminal(TerminalControls* t) {
    g_terminal = t;
}

void MarkConfigurationModified() {
    shared().EncoderMatches = false;
    TerminalControls* t = terminal();
    if (!t)
        return;
    t->setControlEnabled(Control::cmdLookup, false);
    t->setControlEnabled(Control::mnuSendMsg, false);
    t->setStatus(1, QStringLiteral("Current Configuration Modified, Does Not Match Encoder"));
    t->setControlEnabled(toolbarButton(7), false);
}

void NoticeEdit() {
    SharedState& s = shared();
    if (s.DatabaseBusy)
        s.EditedDuringRun = true;
    else
        MarkConfigurationModified();
}

void EndDatabaseRun() {
    SharedState& s = shared();
    s.DatabaseBusy = false;
    if (std::exchange(s.EditedDuringRun, false))
        MarkConfigurationModified();
}

void DatabaseReplaced(int groupsReplaced) {
    // Walked as it stood: a refill must not find the list changing under it.
    const std::vector<Follower> followers = g_followers;
    for (const Follower& f : followers)
        if (f.editor)
            f.refill(groupsReplaced);
}

void followDatabase(QObject* editor, std::function<void(int)> refill) {
    // Editors that have gone leave the list whenever another joins it.
    std::erase_if(g_followers, [](const Follower& f) { return f.editor.isNull(); });
    g_followers.push_back({editor, std::move(refill)});
}

} // namespace qpes

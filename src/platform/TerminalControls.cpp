#include "platform/TerminalControls.h"

#include "model/PagerDatabase.h"

namespace qpes {

namespace {
TerminalControls* g_terminal = nullptr;
}

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

} // namespace qpes

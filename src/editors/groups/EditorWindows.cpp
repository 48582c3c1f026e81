#include "editors/groups/EditorWindows.h"

#include "link/Link.h"
#include "model/PagerDatabase.h"
#include "platform/Platform.h"
#include "platform/TerminalControls.h"

#include <QApplication>
#include <QWidget>

namespace qpes {

void followMainWindow(QWidget* editor, std::function<void()> gone) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmTerminal"))
            QObject::connect(w, &QObject::destroyed, editor, std::move(gone));
}

void beginLoad(QWidget* window) {
    if (TerminalControls* t = terminal())
        t->link().Timer1.stop();
    shared().FormLoading = true;
    centreOnScreen(window);
}

bool bringForward(QWidget* window) {
    if (!window)
        return false;
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

} // namespace qpes

#include "editors/groups/EditorWindows.h"

#include "model/PagerDatabase.h"
#include "platform/TerminalControls.h"

#include <QApplication>
#include <QWidget>

namespace qpes {

void followMainWindow(QWidget* editor, std::function<void()> gone) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmTerminal"))
            QObject::connect(w, &QObject::destroyed, editor, std::move(gone));
}

bool bringForward(QWidget* window) {
    if (!window)
        return false;
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

void noticeEdit() {
    if (!shared().DatabaseBusy)
        MarkConfigurationModified();
}

} // namespace qpes

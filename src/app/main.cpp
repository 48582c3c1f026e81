#include "app/frmSplash.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(qpes::AppTitle));
    qpes::useProgramFont();
    qpes::frmSplash::load();
    return app.exec();
}

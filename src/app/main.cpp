#include "app/frmSplash.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QFont>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(qpes::AppTitle));
    // The windows are laid out in twips for a small 8-point face; the desktop's usual wider
    // default would cut their captions.
    QApplication::setFont(QFont(QStringLiteral("Arial"), 8));
    qpes::frmSplash::load();
    return app.exec();
}

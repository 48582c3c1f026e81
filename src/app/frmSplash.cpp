#include "app/frmSplash.h"

#include "app/Pictures.h"
#include "app/frmTerminal.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"

#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace qpes {

namespace {
QPointer<frmSplash> g_splash;

class ClickableLabel : public QLabel {
public:
    explicit ClickableLabel(frmSplash* splash) : m_splash(splash) {}

protected:
    void mousePressEvent(QMouseEvent*) override { m_splash->dismiss(); }

private:
    frmSplash* m_splash;
};
} // namespace

frmSplash* frmSplash::instance() {
    return g_splash;
}

frmSplash* frmSplash::load() {
    if (!g_splash) {
        g_splash = new frmSplash;
        g_splash->Form_Load();
    }
    return g_splash;
}

frmSplash::frmSplash() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    Picture1 = new ClickableLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(splashPicture());
    lblVersion = new QLabel;
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setAlignment(Qt::AlignRight);
    lblVersion->setContentsMargins(0, 0, 8, 0); // clear of the window's right edge
    layout->addWidget(Picture1);
    layout->addWidget(lblVersion);

    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setSingleShot(true);
    Timer1.setInterval(6000);
    connect(&Timer1, &QTimer::timeout, this, &frmSplash::dismiss);
}

void frmSplash::Form_Load() {
    Timer1.start();
    // Each step reports its own failure and the load goes on.
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(QPES_VERSION_MAJOR)
                            .arg(QPES_VERSION_MINOR)
                            .arg(QPES_VERSION_PATCH));
    // Placed before it first shows, so it never flashes at the screen's corner, nor stays there
    // behind the box that the main window's load may put up.
    adjustSize();
    centreOnScreen(this);
    show();
    frmTerminal::load();
}

void frmSplash::dismiss() {
    Timer1.stop();
    if (frmTerminal* main = frmTerminal::instance())
        main->show();
    close();
}

void frmSplash::mousePressEvent(QMouseEvent*) {
    dismiss();
}
void frmSplash::keyPressEvent(QKeyEvent*) {
    dismiss();
}

} // namespace qpes

#include "link/frmCancelSend.h"

#include "model/PagerDatabase.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace qpes {

namespace {
QPointer<frmCancelSend> g_box;
}

frmCancelSend* frmCancelSend::instance(bool create) {
    if (!g_box && create)
        g_box = new frmCancelSend;
    return g_box;
}

bool frmCancelSend::isLoaded() {
    return !g_box.isNull();
}

void frmCancelSend::setLabel(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    instance()->Label1->setText(shown);
}

void frmCancelSend::showBox() {
    frmCancelSend* box = instance();
    box->show();
    box->raise();
    box->activateWindow();
}

void frmCancelSend::unload() {
    delete g_box.data();
}

frmCancelSend::frmCancelSend() : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmCancelSend"));
    setWindowTitle(QStringLiteral("Quillmar Paging Encoder Programming"));
    // Closing it with its close box unloads it, like the operation's own clean-up.
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twipsToPixels(5220), twipsToPixels(1290));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twipsToPixels(120), twipsToPixels(120), twipsToPixels(4932), twipsToPixels(492));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setWordWrap(true);

    Command1 = new QPushButton(QStringLiteral("Cancel"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsToPixels(2160), twipsToPixels(840), twipsToPixels(972), twipsToPixels(372));
    connect(Command1, &QPushButton::clicked, this, &frmCancelSend::Command1_Click);

    connect(qApp, &QGuiApplication::focusWindowChanged, this, &frmCancelSend::followFocus);
}

frmCancelSend::~frmCancelSend() = default;

bool frmCancelSend::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    else if (e->type() == QEvent::WindowDeactivate)
        Form_Deactivate();
    return QWidget::event(e);
}

void frmCancelSend::Command1_Click() {
    shared().CancelRequested = true;
}

void frmCancelSend::Form_Activate() {
    centreOnScreen(this);
}

void frmCancelSend::Form_Deactivate() {
    // Decide once the activation has settled, so the window that took it is known.
    QTimer::singleShot(0, this, [this] {
        if (shared().CancelRequested || !isVisible())
            return;
        const QWidget* active = QApplication::activeWindow();
        // Another program took the focus, or the box already has it back.
        if (!active || active == this)
            return;
        if (QApplication::activeModalWidget()) {
            followFocus();
            return;
        }
        show();
        raise();
        activateWindow();
    });
}

void frmCancelSend::followFocus() {
    // A message box or other modal dialog must stay visible and answerable, and a box kept
    // above every window would cover it: step aside until it is gone.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && isVisible()) {
        m_yielded = true;
        modal->installEventFilter(this); // to learn when it goes
        hide();
    } else if (!modal && m_yielded) {
        m_yielded = false;
        show();
    }
}

bool frmCancelSend::eventFilter(QObject* watched, QEvent* e) {
    if (m_yielded && (e->type() == QEvent::Hide || e->type() == QEvent::Destroy)) {
        watched->removeEventFilter(this);
        // The modal stack is updated after the hide; look again once it has settled.
        QTimer::singleShot(0, this, &frmCancelSend::followFocus);
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace qpes

// The progress box: its label, its Cancel button, loading and unloading, and how it keeps
// itself in front without taking the activation from a modal box.

#include "link/frmCancelSend.h"
#include "model/PagerDatabase.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using namespace qpes;

namespace {
// Counts the box's activations and deactivations from the moment it is installed.
class ActivationCounter : public QObject {
public:
    explicit ActivationCounter(QWidget* w) { w->installEventFilter(this); }
    int activated = 0;
    int deactivated = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::WindowActivate)
            ++activated;
        else if (e->type() == QEvent::WindowDeactivate)
            ++deactivated;
        return false;
    }
};
} // namespace

class TstCancelSend : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void design();
    void label_data();
    void label();
    void longLineWraps();
    void labelAloneKeepsBoxHidden();
    void cancelSetsFlagOnly();
    void unloadWhenNotLoaded();
    void unloadThenNextUseStartsEmpty();
    void stayInFrontOfOtherWindows();
    void cancelledBoxFallsBehind();
    void modalBoxKeepsActivation();
    void centredOnActivation();
};

void TstCancelSend::init() {
    resetShared();
}

void TstCancelSend::cleanup() {
    frmCancelSend::unload();
    QVERIFY(!frmCancelSend::isLoaded());
}

void TstCancelSend::design() {
    frmCancelSend* box = frmCancelSend::instance();
    QCOMPARE(box->objectName(), QStringLiteral("frmCancelSend"));
    QCOMPARE(box->windowTitle(), QStringLiteral("Quillmar Paging Encoder Programming"));
    QCOMPARE(box->Command1->text(), QStringLiteral("Cancel"));
    QCOMPARE(box->Label1->text(), QString());
    QVERIFY(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(box->size(), QSize(348, 86));
    QCOMPARE(box->Label1->geometry(), QRect(8, 8, 328, 32));
    QCOMPARE(box->Command1->geometry(), QRect(144, 56, 64, 24));
    QCOMPARE(box->findChild<QLabel*>(QStringLiteral("Label1")), box->Label1);
    QCOMPARE(box->findChild<QPushButton*>(QStringLiteral("Command1")), box->Command1);
}

void TstCancelSend::label_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("detection, CR") << "Attempting to Detect Paging Encoder\ron COM Port 1 at 9600,n,8,1"
                                   << QStringList{"Attempting to Detect Paging Encoder",
                                                  "on COM Port 1 at 9600,n,8,1"};
    QTest::newRow("CR LF") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("one line") << "Checking Families Database" << QStringList{"Checking Families Database"};
}

void TstCancelSend::label() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    frmCancelSend::setLabel(text);
    QLabel* l = frmCancelSend::instance()->Label1;
    QCOMPARE(l->text().split(QLatin1Char('\n')), lines);
    // Laid out as that many lines in the label's own width.
    const int lineHeight = l->fontMetrics().lineSpacing();
    QCOMPARE((l->heightForWidth(l->width()) + lineHeight / 2) / lineHeight, lines.size());
}

void TstCancelSend::longLineWraps() {
    frmCancelSend::setLabel(QStringLiteral("Attempting to Detect Paging Encoder on COM Port 1 at 9600,n,8,1, "
                                           "a line longer than the box is wide"));
    const QLabel* l = frmCancelSend::instance()->Label1;
    QVERIFY(l->heightForWidth(l->width()) >= 2 * l->fontMetrics().lineSpacing());
}

void TstCancelSend::labelAloneKeepsBoxHidden() {
    QVERIFY(!frmCancelSend::isLoaded());
    QCOMPARE(frmCancelSend::instance(false), nullptr);
    frmCancelSend::setLabel(QStringLiteral("Sending Terminal ID"));
    QVERIFY(frmCancelSend::isLoaded());
    QVERIFY(!frmCancelSend::instance()->isVisible());
}

void TstCancelSend::cancelSetsFlagOnly() {
    frmCancelSend::setLabel(QStringLiteral("Checking Groups Database"));
    frmCancelSend::showBox();
    frmCancelSend* box = frmCancelSend::instance();
    QVERIFY(box->isVisible());

    box->Command1->click();
    QVERIFY(shared().CancelRequested);
    QVERIFY(box->isVisible());
    QCOMPARE(box->Label1->text(), QStringLiteral("Checking Groups Database"));

    box->Command1->click();
    QVERIFY(shared().CancelRequested);
    QVERIFY(box->isVisible());
    QVERIFY(!shared().ReplyTimedOut);
    QVERIFY(!shared().ExitConfirmed);
}

void TstCancelSend::unloadWhenNotLoaded() {
    QVERIFY(!frmCancelSend::isLoaded());
    frmCancelSend::unload();
    QVERIFY(!frmCancelSend::isLoaded());
    QVERIFY(!shared().CancelRequested);
}

void TstCancelSend::unloadThenNextUseStartsEmpty() {
    frmCancelSend::setLabel(QStringLiteral("Checking Families Database"));
    frmCancelSend::showBox();
    frmCancelSend::unload();
    QVERIFY(!frmCancelSend::isLoaded());
    QCOMPARE(frmCancelSend::instance()->Label1->text(), QString());
    QVERIFY(!frmCancelSend::instance()->isVisible());
}

void TstCancelSend::stayInFrontOfOtherWindows() {
    QWidget main;
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));

    frmCancelSend::showBox();
    frmCancelSend* box = frmCancelSend::instance();
    QVERIFY(QTest::qWaitForWindowActive(box));
    ActivationCounter counter(box);

    main.activateWindow(); // the user clicks the main window
    QTRY_COMPARE(counter.deactivated, 1);
    QTRY_COMPARE(counter.activated, 1);
    QCOMPARE(QApplication::activeWindow(), box);
    QVERIFY(box->isVisible());
}

void TstCancelSend::cancelledBoxFallsBehind() {
    QWidget main;
    main.show();
    frmCancelSend::showBox();
    frmCancelSend* box = frmCancelSend::instance();
    QVERIFY(QTest::qWaitForWindowActive(box));
    ActivationCounter counter(box);

    box->Command1->click();
    main.activateWindow();
    QTRY_COMPARE(counter.deactivated, 1);
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::activeWindow(), &main);
    QCOMPARE(counter.activated, 0);
}

void TstCancelSend::modalBoxKeepsActivation() {
    QWidget main;
    main.show();
    frmCancelSend::showBox();
    frmCancelSend* box = frmCancelSend::instance();
    QVERIFY(QTest::qWaitForWindowActive(box));
    ActivationCounter counter(box);

    {
        QMessageBox message(QMessageBox::Warning, QStringLiteral("Quillmar Mode Detected"),
                            QStringLiteral("text"), QMessageBox::Ok, &main);
        message.setModal(true);
        message.show();
        QVERIFY(QTest::qWaitForWindowActive(&message));
        QTRY_COMPARE(counter.deactivated, 1);
        // Out of the way of the message box, which keeps the activation.
        QTRY_VERIFY(!box->isVisible());
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::activeWindow(), &message);
        QCOMPARE(counter.activated, 0);
        QVERIFY(frmCancelSend::isLoaded());
        message.done(QMessageBox::Ok);
    }
    QTRY_VERIFY(box->isVisible());
    QVERIFY(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!shared().CancelRequested);
}

void TstCancelSend::centredOnActivation() {
    frmCancelSend::showBox();
    frmCancelSend* box = frmCancelSend::instance();
    QVERIFY(QTest::qWaitForWindowActive(box));
    const QRect screen = box->screen()->geometry();
    const QPoint centred((screen.width() - box->width()) / 2, (screen.height() - box->height()) / 2);
    QCOMPARE(box->pos(), centred);
    ActivationCounter counter(box);

    // Dragged away, then activated again: back in the centre.
    box->move(centred + QPoint(40, 30));
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_COMPARE(counter.activated, 1);
    QCOMPARE(box->pos(), centred);
}

QTEST_MAIN(TstCancelSend)
#include "tst_cancelsend.moc"

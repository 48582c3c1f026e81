// The splash window: version line, the hidden main window behind it, and its dismissal.

#include "app/frmSplash.h"
#include "app/frmTerminal.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QPointer>
#include <QtTest>

using namespace qpes;

class TestSplash : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::Sandbox> box;

private slots:
    void init() { box = std::make_unique<test::Sandbox>(); }
    void cleanup() { box.reset(); }

    void loadsTheHiddenMainWindowBehindIt() {
        QPointer<frmSplash> splash = frmSplash::load();
        QCOMPARE(splash->findChild<QLabel*>("lblVersion")->text(), QString("Version 7.1.9"));
        QVERIFY(splash->isVisible());
        QVERIFY(splash->Timer1.isActive());
        QCOMPARE(splash->Timer1.interval(), 6000);
        QVERIFY(frmTerminal::instance());
        QVERIFY(!frmTerminal::instance()->isVisible());
    }

    void aKeyShowsTheMainWindowAtOnce() {
        QPointer<frmSplash> splash = frmSplash::load();
        QTest::keyClick(splash.data(), Qt::Key_Space);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!splash);
        QVERIFY(frmTerminal::instance()->isVisible());
    }

    void aClickOnThePictureShowsTheMainWindow() {
        QPointer<frmSplash> splash = frmSplash::load();
        QTest::mouseClick(splash->findChild<QLabel*>("Picture1"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!splash);
        QVERIFY(frmTerminal::instance()->isVisible());
    }

    void aboutShowsTheSplashAgainWithoutASecondMainWindow() {
        frmSplash::load()->dismiss();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frmTerminal* main = frmTerminal::instance();
        main->mnuAbout_Click();
        QVERIFY(frmSplash::instance());
        QVERIFY(frmSplash::instance()->isVisible());
        QCOMPARE(frmTerminal::instance(), main);
        QCOMPARE(box->script.boxes.size(), 0);
    }
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"

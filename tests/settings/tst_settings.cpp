// The advanced settings: what each control stores, Restore Defaults, the mode label and the
// Brief ACK box, the checks on closing, and the access prompt in front of them.

#include "app/frmTerminal.h"
#include "model/PagerDatabase.h"
#include "settings/frmPassword.h"
#include "settings/frmSettings.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace qpes;
using namespace qpes::test;

namespace {

const std::pair<const char*, bool EncoderSettings::*> Switches[] = {
    {"IgnoreRFCD", &EncoderSettings::IgnoreRFCD},       {"PPHReset", &EncoderSettings::PPHReset},
    {"InvertData", &EncoderSettings::InvertData},       {"IDAsCap", &EncoderSettings::IDAsCap},
    {"InvertRFCD", &EncoderSettings::InvertRFCD},       {"BriefACK", &EncoderSettings::BriefACK},
    {"FlowBeforeACK", &EncoderSettings::FlowBeforeACK}, {"PETEnabled", &EncoderSettings::PETEnabled},
    {"PETSupported", &EncoderSettings::PETSupported}};

QStringList fields(const EncoderSettings& e) {
    QStringList f{"DutyCycle=" + QString::fromLatin1(e.DutyCycle),
                  "MaxBatch=" + QString::fromLatin1(e.MaxBatch)};
    for (const auto& [name, member] : Switches)
        f << QString("%1=%2").arg(name).arg(int(e.*member));
    return f;
}
// The settings every test starts from: the start values, on an encoder that knows PET.
EncoderSettings baseline() {
    SharedState s;
    applyStartValues(s);
    s.Db.Settings.PETSupported = true;
    return s.Db.Settings;
}
// "Name=value" of each field that differs from the baseline.
QString describe(const EncoderSettings& e) {
    const QStringList base = fields(baseline());
    QStringList differing;
    for (const QString& f : fields(e))
        if (!base.contains(f))
            differing << f;
    return differing.join(' ');
}
EncoderSettings settingsFrom(const QString& description) {
    EncoderSettings e = baseline();
    for (const QString& f : description.split(' ', Qt::SkipEmptyParts)) {
        const QString name = f.section('=', 0, 0), value = f.section('=', 1);
        if (name == "DutyCycle")
            e.DutyCycle = value.toLatin1();
        if (name == "MaxBatch")
            e.MaxBatch = value.toLatin1();
        for (const auto& [n, member] : Switches)
            if (name == n)
                e.*member = value == "1";
    }
    return e;
}

const QString Modified = "Current Configuration Modified, Does Not Match Encoder";

// Puts a value into a control as the user would: the text of a box, the state of a check box
// ("0", "1") or the option of a pair to select.
void setControl(frmSettings& dialog, const QString& name, const QString& value) {
    if (auto* edit = dialog.findChild<QLineEdit*>(name))
        edit->setText(value);
    else if (name.startsWith("opt"))
        dialog.findChildren<QRadioButton*>(name).at(value.toInt())->setChecked(true);
    else
        dialog.findChild<QCheckBox*>(name)->setChecked(value == "1");
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Sandbox> box;
    frmTerminal* main = nullptr;
    EncoderSettings& settings() { return shared().Db.Settings; }

private slots:
    void init() {
        box = std::make_unique<Sandbox>();
        main = frmTerminal::load();
        settings().PETSupported = true;
    }
    void cleanup() {
        box.reset();
        main = nullptr;
    }

    void eachControlStoresItsSetting_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("back"); // the value that restores the start
        QTest::addColumn<QString>("stored");
        row("carrier detection off", "chkCarrierDetect", "0", "1", "IgnoreRFCD=1");
        row("timer reset off", "chkPPHReset", "0", "1", "PPHReset=0");
        row("flow control off", "chkNAKBeforeFlow", "0", "1", "FlowBeforeACK=0");
        row("ID as capcode on", "chkIDAsCap", "1", "0", "IDAsCap=1");
        row("brief ACK on", "chkBriefACK", "1", "0", "BriefACK=1");
        row("PET on", "chkPET", "1", "0", "PETEnabled=1");
        row("5V carrier", "optCDPolarity", "1", "0", "InvertRFCD=0");
        row("inverted data", "optDataPolarity", "1", "0", "InvertData=1");
        row("duty cycle typed", "txDutyCycle", "050", "50", "DutyCycle=050");
        row("batch typed", "txtBatchQty", "abc", "10", "MaxBatch=abc");
    }
    void eachControlStoresItsSetting() {
        QFETCH(QString, control);
        QFETCH(QString, value);
        QFETCH(QString, back);
        QFETCH(QString, stored);
        {
            frmSettings dialog;
            setControl(dialog, control, value);
            QCOMPARE(describe(settings()), stored);
            QVERIFY(!shared().EncoderMatches);
            QCOMPARE(main->status(1), Modified);
        }
        // A fresh dialog shows what was stored, so the same value again changes nothing.
        shared().EncoderMatches = true;
        frmSettings dialog;
        setControl(dialog, control, value);
        QVERIFY(shared().EncoderMatches);
        setControl(dialog, control, back);
        QCOMPARE(describe(settings()), QString());
    }

    void loadFillsWithoutNotice() {
        settings() = settingsFrom("DutyCycle= MaxBatch= PETEnabled=1 PETSupported=0");
        frmSettings dialog;
        QCOMPARE(dialog.txDutyCycle->text(), QString("50"));
        QCOMPARE(dialog.txtBatchQty->text(), QString("10"));
        QVERIFY(!dialog.chkPET->isChecked() && !dialog.chkPET->isEnabled());
        QCOMPARE(describe(settings()), QString("PETEnabled=1 PETSupported=0"));
        QVERIFY(shared().EncoderMatches);
    }

    void restoreDefaults_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("label");
        row("everything differs",
            "DutyCycle=7 MaxBatch=20 IgnoreRFCD=1 PPHReset=0 InvertData=1 IDAsCap=1 "
            "InvertRFCD=0 BriefACK=1 FlowBeforeACK=0 PETEnabled=1",
            "", "ID As Capcode Mode is OFF");
        row("only brief ACK differs", "BriefACK=1", "", "Brief ACK Mode is OFF");
        row("PET on but locked", "PETEnabled=1 PETSupported=0", "PETSupported=0",
            "ID As Capcode Mode is OFF");
        row("everything at its default", "", "", "ID As Capcode Mode is OFF");
    }
    void restoreDefaults() {
        QFETCH(QString, start);
        QFETCH(QString, after);
        QFETCH(QString, label);
        settings() = settingsFrom(start);
        frmSettings dialog;
        dialog.cmdResetDefaults->click();
        QCOMPARE(describe(settings()), after);
        QCOMPARE(main->caption(Control::lblIDAsCap), label);
        QCOMPARE(shared().EncoderMatches, start == after);
        QCOMPARE(main->status(1), start == after ? "No Database Loaded" : Modified);
        QCOMPARE(box->script.boxes.size(), 0);
    }

    void modeLabelAndBriefAckBox_data() {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("boxes");
        row("brief ACK on", QStringList{"chkBriefACK"}, "Brief ACK Mode is ON", 1);
        row("brief ACK on and off", QStringList{"chkBriefACK", "chkBriefACK"}, "Brief ACK Mode is OFF", 1);
        row("ID as capcode last", QStringList{"chkBriefACK", "chkIDAsCap"}, "ID As Capcode Mode is ON", 1);
        row("brief ACK last", QStringList{"chkIDAsCap", "chkBriefACK"}, "Brief ACK Mode is ON", 1);
        row("ID as capcode off", QStringList{"chkIDAsCap", "chkIDAsCap"}, "ID As Capcode Mode is OFF", 0);
    }
    void modeLabelAndBriefAckBox() {
        QFETCH(QStringList, clicks);
        QFETCH(QString, label);
        QFETCH(int, boxes);
        frmSettings dialog;
        for (const QString& name : clicks)
            dialog.findChild<QCheckBox*>(name)->click();
        QCOMPARE(main->caption(Control::lblIDAsCap), label);
        QCOMPARE(box->script.boxes.size(), boxes);
        if (boxes) {
            const BoxRecord& b = box->script.boxes[0];
            QCOMPARE(b.title, QString("Brief ACK Mode"));
            QCOMPARE(b.text, QString("This mode was developed for Comdial equipment compatibility\r"
                                     "To ensure this mode operates properly, do the following:\r"
                                     "1) Program the encoder\r"
                                     "2) Set DIP switch #8 to the OFF position and cycle power"));
            QCOMPARE(b.icon, Icon::None);
        }
    }

    void closingChecksTheNumbers_data() {
        QTest::addColumn<QString>("duty");
        QTest::addColumn<QString>("batch");
        QTest::addColumn<QString>("close"); // "OK", "Enter", "close box" or "Esc"
        QTest::addColumn<QString>("title"); // the box shown, empty for none
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("closed");
        const QString tooHigh = "Max Msgs per Batch Too High", invalid = "Invalid Values Detected";
        row("batch over the limit", "50", "33", "OK", tooHigh, "50 32", true);
        row("batch at the limit", "50", "32", "OK", "", "50 32", true);
        row("Enter presses OK", "50", "33", "Enter", tooHigh, "50 32", true);
        row("no duty cycle management", "0", "33", "OK", "", "0 33", true);
        row("00 is management", "00", "33", "OK", tooHigh, "00 32", true);
        row("twenty-digit batch", "50", "99999999999999999999", "OK", tooHigh, "50 32", true);
        row("twenty-digit batch, no management", "0", "99999999999999999999", "OK", "",
            "0 99999999999999999999", true);
        row("leading zeros kept", "050", "007", "OK", "", "050 007", true);
        row("batch not digits", "50", "5a", "OK", invalid, "50 ", false);
        row("duty cycle signed", "+5", "10", "OK", invalid, " 10", false);
        row("duty cycle empty", "", "10", "OK", invalid, " ", false);
        row("close box, letters", "abc", "10", "close box", invalid, " 10", false);
        row("close box, over the limit", "50", "40", "close box", tooHigh, "50 32", true);
        row("Esc, batch empty", "50", "", "Esc", invalid, " ", false);
        row("Esc, over the limit", "1", "33", "Esc", tooHigh, "1 32", true);
    }
    void closingChecksTheNumbers() {
        QFETCH(QString, duty);
        QFETCH(QString, batch);
        QFETCH(QString, close);
        QFETCH(QString, title);
        QFETCH(QString, stored);
        QFETCH(bool, closed);
        frmSettings dialog;
        dialog.show();
        dialog.txDutyCycle->setText(duty);
        dialog.txtBatchQty->setText(batch);
        if (close == "OK")
            dialog.cmdOK->click();
        else if (close == "Esc")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else if (close == "Enter")
            QTest::keyClick(dialog.txtBatchQty, Qt::Key_Return);
        else
            dialog.close();
        QCOMPARE(!dialog.isVisible(), closed);
        QCOMPARE(QString(settings().DutyCycle + ' ' + settings().MaxBatch), stored);
        QCOMPARE(dialog.txDutyCycle->text() + ' ' + dialog.txtBatchQty->text(), stored);
        QCOMPARE(box->script.boxes.size(), title.isEmpty() ? 0 : 1);
        if (title.isEmpty())
            return;
        QCOMPARE(box->script.boxes[0].title, title);
        QCOMPARE(box->script.boxes[0].icon, Icon::Exclamation);
        QCOMPARE(box->script.boxes[0].text,
                 closed ? QString("When Duty Cycle Management Mode is Active\r"
                                  "The Max Msgs per Batch Cannot be Greater Than 32\r\r"
                                  "Max Msgs per Batch will be Changed to 32")
                        : QString("Please Enter Numerical Values For\rDuty Cycle And Batch Quantity"));
    }

    void accessPrompt_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("enterOn"); // the control that takes the Enter key
        QTest::addColumn<QStringList>("expected");
        const QStringList opens{"1 OK=0", " Encoder Advanced Settings", "0 OK=1"}, stays{"1 OK=0", "1 OK=1"};
        row("lower case", "kepla", "txtName", opens);
        row("mixed case", "KePlA", "txtName", opens);
        row("trailing blank", "KEPLA ", "txtName", stays);
        row("leading blank", " kepla", "txtName", stays);
        row("wrong code", "KEPL", "txtName", stays);
        row("Enter on Cancel", "kepla", "cmdCancel", QStringList{"1 OK=0", "0 OK=1"});
    }
    void accessPrompt() {
        QFETCH(QString, typed);
        QFETCH(QString, enterOn);
        QFETCH(QStringList, expected);
        QStringList seen; // "shown OK=enabled" of the prompt after Esc and after Enter; the settings' title
        QTimer::singleShot(0, [&] {
            auto* prompt = qobject_cast<frmPassword*>(QApplication::activeModalWidget());
            if (!prompt)
                return;
            const auto state = [&] {
                seen << QString("%1 OK=%2").arg(prompt->isVisible()).arg(prompt->cmdOK->isEnabled());
            };
            QTest::keyClick(prompt->txtName, Qt::Key_Escape);
            state();
            QTest::keyClicks(prompt->txtName, typed);
            QTimer::singleShot(0, [&seen] { // closes the settings once they are up
                if (auto* settings = qobject_cast<frmSettings*>(QApplication::activeModalWidget())) {
                    seen << settings->windowTitle();
                    settings->cmdOK->click();
                }
            });
            QTest::keyClick(prompt->findChild<QWidget*>(enterOn), Qt::Key_Return);
            prompt->txtName->clear();
            state();
            if (prompt->isVisible())
                prompt->cmdCancel->click();
        });
        main->cmdSettings_Click();
        QCoreApplication::processEvents(); // a settings timer still pending finds nothing
        QCOMPARE(seen, expected);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!main->findChild<frmPassword*>());
        QVERIFY(!main->findChild<frmSettings*>());
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"

#include "console/frmMessageTest.h"

#include "console/CommunicationsLog.h"
#include "console/ConsoleWidgets.h"
#include "console/PagerIdValidation.h"
#include "console/TapSession.h"
#include "console/frmRangeTest.h"
#include "link/Link.h"
#include "model/MessageArchive.h"
#include "model/PagerDatabase.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/TerminalControls.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

namespace qpes {

namespace {

QPointer<frmMessageTest> g_console;

const char* const ConsoleCaption = "Quillmar Paging Encoder Test";

qint64 monotonicMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool portOpen() {
    TerminalControls* t = terminal();
    return t && t->link().MSComm1.PortOpen();
}

// The program's face at the console's own sizes.
QFont consoleFont(double points, bool bold) {
    QFont f = programFont();
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

} // namespace

frmMessageTest* frmMessageTest::instance(bool create, QWidget* owner) {
    if (!g_console && create)
        g_console = new frmMessageTest(owner);
    return g_console;
}

void frmMessageTest::showModal(QWidget* owner) {
    unload();
    QPointer<frmMessageTest> console = instance(true, owner);
    console->exec();
    if (console) {
        console->Form_Unload();
        console->deleteLater();
    }
}

void frmMessageTest::unload() {
    if (!g_console)
        return;
    frmMessageTest* console = g_console;
    g_console = nullptr;
    console->Form_Unload();
    console->hide();
    console->deleteLater();
}

frmMessageTest::frmMessageTest(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmMessageTest"));
    setWindowTitle(QString::fromLatin1(ConsoleCaption));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* menu = new QMenuBar(this);
    mnuExit = menu->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    mnuRangeTest = menu->addAction(QStringLiteral("Start Range &Test"));
    mnuRangeTest->setObjectName(QStringLiteral("mnuRangeTest"));
    auto* body = new QWidget(this);
    body->setFixedSize(twipsToPixels(7185), twipsToPixels(4920));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menu);
    layout->addWidget(body);

    txtPIN = new QLineEdit(body);
    txtPIN->setObjectName(QStringLiteral("txtPIN"));
    txtPIN->setMaxLength(10);
    keepOnOneLine(txtPIN);
    txtPIN->setFont(consoleFont(9.75, true));
    place(txtPIN, 90, 405, 1695, 360);
    txtMessage = new MessageEdit(body);
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    txtMessage->setMaxLength(251);
    txtMessage->setFont(consoleFont(8.25, true));
    place(txtMessage, 105, 1200, 6975, 915);
    Label4 = makeLabel("Label4", QStringLiteral("Pager PIN:"), body);
    place(Label4, 90, 120, 1095, 255);
    Label1 = makeLabel("Label1", QStringLiteral("COM Port Log"), body);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    Label1->setFont(consoleFont(9.75, true));
    place(Label1, 2280, 3660, 2655, 255);
    Label7 = makeLabel("Label7", QStringLiteral("Pager Message:"), body);
    place(Label7, 105, 945, 2805, 255);
    cmdSendMsg = makeButton("cmdSendMsg", "&Send", body);
    cmdSendMsg->setFont(consoleFont(12, true));
    cmdSendMsg->setDefault(true);
    place(cmdSendMsg, 3105, 180, 1590, 600);
    lblMsgLen = makeLabel("lblMsgLen", QStringLiteral("Message Length:"), body);
    place(lblMsgLen, 2295, 945, 2715, 255);
    lb_log = new QListWidget(body);
    lb_log->setObjectName(QStringLiteral("lb_log"));
    place(lb_log, 90, 3945, 6990, 840);
    Label2 = makeLabel("Label2", QStringLiteral("Message Archive"), body);
    place(Label2, 120, 2400, 1725, 255);
    lb_Archive = new QListWidget(body);
    lb_Archive->setObjectName(QStringLiteral("lb_Archive"));
    lb_Archive->setFont(consoleFont(8.25, true));
    place(lb_Archive, 90, 2640, 6990, 840);
    cmdAdd = makeButton("cmdAdd", "&Add", body);
    place(cmdAdd, 2160, 2280, 1335, 315);
    cmdDelete = makeButton("cmdDelete", "&Delete", body);
    place(cmdDelete, 3840, 2280, 1335, 315);
    cmdReplace = makeButton("cmdReplace", "&Replace", body);
    place(cmdReplace, 5520, 2280, 1335, 315);
    for (QPushButton* b : {cmdAdd, cmdDelete, cmdReplace})
        b->setAutoDefault(false);
    Check1 = new QCheckBox(QStringLiteral("Log to File"), body);
    Check1->setObjectName(QStringLiteral("Check1"));
    place(Check1, 5640, 3690, 1215, 195);
    ChkLogInOut = new QCheckBox(QStringLiteral("Connect"), body);
    ChkLogInOut->setObjectName(QStringLiteral("ChkLogInOut"));
    place(ChkLogInOut, 5160, 293, 1575, 375);
    for (QLabel* l : {Label4, Label7, lblMsgLen, Label2})
        l->setFont(consoleFont(8.25, true));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->setSingleShot(true);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);

    setTabOrder(txtPIN, txtMessage);
    setTabOrder(txtMessage, cmdSendMsg);

    connect(txtPIN, &QLineEdit::textChanged, this, &frmMessageTest::txtPIN_Change);
    connect(txtMessage, &QPlainTextEdit::textChanged, this, &frmMessageTest::txtMessage_Change);
    connect(cmdSendMsg, &QPushButton::clicked, this, &frmMessageTest::cmdSendMsg_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmMessageTest::cmdAdd_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmMessageTest::cmdDelete_Click);
    connect(cmdReplace, &QPushButton::clicked, this, &frmMessageTest::cmdReplace_Click);
    connect(lb_Archive, &QListWidget::currentRowChanged, this, &frmMessageTest::lb_Archive_Click);
    // A click on the entry already selected copies it again, over an edited message.
    connect(lb_Archive, &QListWidget::itemClicked, this, &frmMessageTest::lb_Archive_Click);
    // Only the user's click runs the handler; the program sets the box to show the truth.
    connect(Check1, &QCheckBox::clicked, this, &frmMessageTest::Check1_Click);
    connect(mnuExit, &QAction::triggered, this, &frmMessageTest::mnuExit_Click);
    connect(mnuRangeTest, &QAction::triggered, this, &frmMessageTest::mnuRangeTest_Click);
    connect(Timer1, &QTimer::timeout, this, &frmMessageTest::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &frmMessageTest::Timer2_Timer);

    Form_Load();
}

frmMessageTest::~frmMessageTest() {
    Form_Unload();
}

void frmMessageTest::Form_Load() {
    adjustSize();
    setFixedSize(size());
    centreOnScreen(this);
    mnuRangeTest->setEnabled(false);
    cmdSendMsg->setEnabled(false);
    ChkLogInOut->setEnabled(false);
    ChkLogInOut->hide();
    Check1->setChecked(logFileOpen());
    setLogList(lb_log);
    // The archive lives in the program's folder, wherever a file dialog has moved the current one.
    m_archivePath = QDir(programFolder()).absoluteFilePath(QString::fromLatin1(ArchiveFileName));
    m_archive = readArchiveFile(m_archivePath);
    for (const QByteArray& entry : m_archive)
        lb_Archive->addItem(QString::fromLatin1(entry));
    txtPIN->setFocus();
}

// The window has no Cancel button: Esc leaves it open, as only Exit and the close box close it.
void frmMessageTest::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier)
        return;
    QDialog::keyPressEvent(e);
}

void frmMessageTest::done(int result) {
    Form_Unload();
    QDialog::done(result);
}

void frmMessageTest::Form_Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (g_console == this)
        g_console = nullptr;
    SharedState& s = shared();
    // A Send still waiting on the encoder ends with its window, quietly, as the user's stop: no
    // box of its outcome is left to show over the main window. A range-test page finishes its tick,
    // and shows no box either.
    if (TerminalControls* t = terminal(); t && m_pageUnderWay == PageKind::Send && t->link().exchangeRunning)
        t->link().stopConversation(AfterRun::Nothing);
    if (portOpen())
        terminal()->setControlEnabled(Control::mnuTest, true);
    s.RangeTestRunning = false;
    mnuRangeTest->setText(QStringLiteral("Start &Range Test"));
    frmRangeTest::unload();
    Timer1->stop();
    Timer2->stop();
    s.UnloadPending = true;
    cmdSendMsg->setEnabled(true);
    setLogList(nullptr);
}

// ---- Pager ID and message boxes ----------------------------------------------------------------

void frmMessageTest::txtPIN_Change() {
    if (!txtPIN->text().isEmpty()) {
        mnuRangeTest->setEnabled(true);
        if (txtMessage->length() > 0)
            cmdSendMsg->setEnabled(true);
    } else {
        mnuRangeTest->setEnabled(false);
        cmdSendMsg->setEnabled(false);
    }
}

void frmMessageTest::txtMessage_Change() {
    lblMsgLen->setText(QStringLiteral("Message Length: ") + QString::number(txtMessage->length()));
    cmdSendMsg->setEnabled(txtMessage->length() > 0);
}

void frmMessageTest::mnuExit_Click() {
    if (shared().RangeTestRunning)
        mnuRangeTest_Click();
    close();
}

void frmMessageTest::applyLengthRule(PageKind kind) {
    const LengthRule rule = MessageLengthLimit(int(txtPIN->text().size()), kind);
    if (!rule.setsMaxLength)
        return;
    if (rule.cut && txtMessage->length() > rule.limit) {
        Dialogs::message(QString::fromLatin1(truncationText(rule.limit, kind)), Buttons::Ok, Icon::None,
                         QStringLiteral("Message Truncated"));
        txtMessage->setPlainText(txtMessage->text().left(rule.limit));
    }
    txtMessage->setMaxLength(rule.limit);
}

// ---- Send ------------------------------------------------------------------------------------------

void frmMessageTest::cmdSendMsg_Click() {
    SharedState& s = shared();
    TerminalControls* t = terminal();
    // One page at a time: a second session must not start inside the first one's waits.
    if (!t || (m_pageUnderWay && !s.RangeTestRunning))
        return;
    Link& link = t->link();
    link.Timer2.setInterval(10000);
    QPointer<frmMessageTest> self(this);
    const bool valid =
        s.Db.Settings.IDAsCap || ValidatePagerId(txtPIN->text().toLatin1()) == PagerIdCheck::Valid;
    if (!self)
        return;
    if (s.RangeTestRunning) {
        mnuRangeTest_Click();
        return;
    }
    if (m_pageUnderWay)
        return;
    if (!valid) {
        Dialogs::message(QStringLiteral("Pager ID Value is Invalid"), Buttons::Ok, Icon::None,
                         QStringLiteral("Invalid PIN"));
        setBusy(false);
        return;
    }
    applyLengthRule(PageKind::Send);
    m_pageUnderWay = PageKind::Send;
    SendTestPage(link, txtPIN->text().toLatin1(), txtMessage->text().toLatin1(), [self] {
        if (self) { // the box shows the session open
            self->ChkLogInOut->setChecked(true);
            self->ChkLogInOut->setText(QStringLiteral("Logout"));
        }
    });
    if (self)
        m_pageUnderWay.reset();
}

// ---- Log file ----------------------------------------------------------------------------------------

void frmMessageTest::Check1_Click() {
    QPointer<frmMessageTest> self(this);
    if (Check1->isChecked())
        OpenLogFile();
    else
        CloseLogFile();
    if (self)
        Check1->setChecked(logFileOpen());
}

// ---- Message archive -----------------------------------------------------------------------------

void frmMessageTest::setArchiveRow(int row) {
    SharedState& s = shared();
    const bool was = s.ArchiveUpdating;
    s.ArchiveUpdating = true;
    lb_Archive->setCurrentRow(row);
    s.ArchiveUpdating = was;
}

void frmMessageTest::writeArchive() {
    QString error;
    if (!writeArchiveFile(m_archivePath, m_archive, &error)) {
        Dialogs::failure(error);
        setBusy(false);
    }
}

void frmMessageTest::cmdAdd_Click() {
    const QString text = txtMessage->text();
    if (text.isEmpty())
        return;
    SharedState& s = shared();
    s.ArchiveUpdating = true;
    const QByteArray entry = text.toLatin1();
    const qsizetype found = findArchiveEntry(m_archive, entry);
    if (found >= 0) {
        lb_Archive->setCurrentRow(int(found));
        s.ArchiveUpdating = false;
        return;
    }
    const qsizetype before = m_archive.size();
    addArchiveEntry(m_archive, entry);
    lb_Archive->addItem(QString::fromLatin1(entry)); // the list shows what messages.dat holds
    if (m_archive.size() == before)
        delete lb_Archive->takeItem(0);
    writeArchive();
    s.ArchiveUpdating = false;
}

void frmMessageTest::cmdDelete_Click() {
    const int row = lb_Archive->currentRow();
    if (row < 0 || !lb_Archive->currentItem()->isSelected())
        return;
    if (Dialogs::message(QStringLiteral("Are you sure you want to delete the selected item?"), Buttons::YesNo,
                         Icon::None, QStringLiteral("Verify")) != Answer::Yes)
        return;
    m_archive.removeAt(row);
    SharedState& s = shared();
    s.ArchiveUpdating = true;
    delete lb_Archive->takeItem(row);
    lb_Archive->setCurrentRow(-1);
    s.ArchiveUpdating = false;
    writeArchive();
}

void frmMessageTest::cmdReplace_Click() {
    const int row = lb_Archive->currentRow();
    const QString text = txtMessage->text();
    if (row < 0 || !lb_Archive->currentItem()->isSelected() || text.isEmpty())
        return;
    SharedState& s = shared();
    s.ArchiveUpdating = true;
    const QByteArray entry = text.toLatin1();
    const qsizetype found = findArchiveEntry(m_archive, entry);
    if (found >= 0) {
        lb_Archive->setCurrentRow(int(found));
        s.ArchiveUpdating = false;
        return;
    }
    if (Dialogs::message(QStringLiteral("Are You Sure You Want to Replace the Selected Item?"),
                         Buttons::YesNo, Icon::None, QStringLiteral("Verify")) != Answer::Yes) {
        s.ArchiveUpdating = false;
        return;
    }
    replaceArchiveEntry(m_archive, row, entry);
    lb_Archive->item(row)->setText(QString::fromLatin1(entry));
    while (lb_Archive->count() > m_archive.size())
        delete lb_Archive->takeItem(lb_Archive->count() - 1);
    s.ArchiveUpdating = false;
    // Copies the new text into the message box, as a click does; an entry dropped at the archive's
    // limit leaves nothing selected.
    lb_Archive->setCurrentItem(nullptr);
    lb_Archive->setCurrentRow(row);
    writeArchive();
}

void frmMessageTest::lb_Archive_Click() {
    const int row = lb_Archive->currentRow();
    if (shared().ArchiveUpdating || row < 0)
        return;
    txtMessage->setPlainText(lb_Archive->item(row)->text());
    if (portOpen() && !txtPIN->text().isEmpty())
        mnuRangeTest->setEnabled(true);
}

// ---- Range test --------------------------------------------------------------------------------------

void frmMessageTest::mnuRangeTest_Click() {
    SharedState& s = shared();
    if (s.RangeTestRunning) {
        s.RangeTestRunning = false;
        cmdSendMsg->setText(QStringLiteral("&Send"));
        if (frmRangeTest* setup = frmRangeTest::instance())
            txtMessage->setPlainText(setup->txtBaseMsg->text());
        mnuRangeTest->setText(QStringLiteral("Start &Range Test"));
        frmRangeTest::unload();
        return;
    }
    if (m_pageUnderWay)
        return;
    QPointer<frmMessageTest> self(this);
    const PagerIdCheck::Outcome outcome = ValidatePagerId(txtPIN->text().toLatin1());
    if (!self)
        return;
    if (outcome != PagerIdCheck::Valid) {
        // The detail is shown when this check has just found one, or when the check failed
        // without a box of its own.
        if (outcome == PagerIdCheck::BadId || outcome == PagerIdCheck::ConversionFailed)
            Dialogs::message(QString::fromLatin1(s.PagerIdError), Buttons::Ok, Icon::None,
                             QStringLiteral("Invalid ID"));
        setBusy(false);
        return;
    }
    cmdSendMsg->setText(QStringLiteral("&Stop"));
    startLoopTimer();
    // Start hides the setup, which stays loaded for the test; Cancel and its close box end it.
    auto* setup = new frmRangeTest(this);
    setup->exec();
    s.UnloadPending = false;
    if (!s.RangeTestRunning)
        frmRangeTest::unload();
}

void frmMessageTest::startRangeTest(const QString& pin, int cycle) {
    SharedState& s = shared();
    txtPIN->setText(pin);
    mnuRangeTest->setText(QStringLiteral("Stop &Range Test"));
    s.RangeTestRunning = true;
    s.RangeTestCycleTime = cycle;
    setWindowTitle(QStringLiteral("Quillmar Range Test - Next Msg. in ") + QString::number(cycle) +
                   QStringLiteral(" Sec."));
    s.RangeTestNextSend = rangeTestDue(monotonicMs(), cycle);
    m_pageCounter = 0;
    m_restarted = true;
    Timer1->start();
    startLoopTimer();
}

// A loop that has not ended yet takes a restarted test over; its own timer must then stay
// idle, as a timer that falls due during that timer's own event holds up every other one.
void frmMessageTest::startLoopTimer() {
    if (!m_loopRunning)
        Timer2->start();
}

void frmMessageTest::rangeTestCancelled() {
    cmdSendMsg->setText(QStringLiteral("&Send"));
    cmdSendMsg->setEnabled(true);
}

void frmMessageTest::Timer1_Timer() {
    if (shared().RangeTestRunning)
        QApplication::alert(this);
}

void frmMessageTest::sendRangeTestPage() {
    applyLengthRule(PageKind::RangeTest);
    TerminalControls* t = terminal();
    if (!t)
        return;
    QPointer<frmMessageTest> self(this);
    m_pageUnderWay = PageKind::RangeTest;
    SendRangeTestPage(
        t->link(), txtPIN->text().toLatin1(), txtMessage->text().toLatin1(),
        [self] { return !self || !shared().RangeTestRunning || shared().ExitConfirmed; },
        [self] { return !self || self->m_unloaded; });
    if (self)
        m_pageUnderWay.reset();
}

void frmMessageTest::Timer2_Timer() {
    SharedState& s = shared();
    if (!s.RangeTestRunning)
        return;
    Timer2->stop();
    if (s.UnloadPending) {
        unload();
        return;
    }
    // A test started again while the loop still runs is taken over by that loop.
    if (m_loopRunning)
        return;
    m_loopRunning = true;
    QPointer<frmMessageTest> self(this);
    const auto ended = [&self] { return !self || !shared().RangeTestRunning || shared().ExitConfirmed; };
    for (;;) {
        m_restarted = false;
        ++m_pageCounter;
        const QString base =
            frmRangeTest::instance() ? frmRangeTest::instance()->txtBaseMsg->text() : QString();
        txtMessage->setPlainText(base + QLatin1Char(' ') + QString::number(m_pageCounter));
        setWindowTitle(QStringLiteral("Quillmar Range Test - Next Msg. in 0 Sec."));
        sendRangeTestPage();
        for (;;) {
            if (!self)
                return;
            if (!ended())
                TickWait(*Timer1, ended);
            if (!self)
                return;
            if (ended()) {
                setWindowTitle(QStringLiteral("Quillmar Paging Test"));
                m_loopRunning = false;
                return;
            }
            if (m_restarted)
                break;
            const qint64 now = monotonicMs();
            if (now > s.RangeTestNextSend) {
                s.RangeTestNextSend = rangeTestDue(now, s.RangeTestCycleTime);
                break;
            }
            setWindowTitle(QStringLiteral("Quillmar Range Test - Next Msg. in ") +
                           QString::number(countdownSeconds(now, s.RangeTestNextSend)) +
                           QStringLiteral(" Sec."));
        }
    }
}

} // namespace qpes

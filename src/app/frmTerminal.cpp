#include "app/frmTerminal.h"

#include "app/Pictures.h"
#include "app/Printout.h"
#include "app/frmSplash.h"
#include "console/frmMessageTest.h"
#include "console/frmTXTune.h"
#include "editors/families/frmCfgFam.h"
#include "editors/groups/frmCfgGroup.h"
#include "editors/groups/frmCfgMsg.h"
#include "link/Lookup.h"
#include "link/PortControl.h"
#include "link/PortNumbers.h"
#include "link/ProgramDatabase.h"
#include "link/ReadDatabase.h"
#include "link/frmProperties.h"
#include "model/DatabaseFile.h"
#include "model/PagerDatabase.h"
#include "model/Text.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "settings/frmPassword.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenuBar>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>
#include <limits>

namespace qpes {

namespace {
QPointer<frmTerminal> g_main;

const char* const DatabaseFilter = "Pager Database Files (*.PG7)|*.pg7";

QAction* addItem(QMenu* menu, const char* name, const char* text) {
    QAction* a = menu->addAction(QString::fromLatin1(text));
    a->setObjectName(QString::fromLatin1(name));
    return a;
}
} // namespace

// The notes box takes at most 80 typed characters. A longer note loaded from a file is shown
// whole: the user may shorten it, never lengthen it.
class NotesLimit : public QValidator {
public:
    explicit NotesLimit(QLineEdit* box) : QValidator(box) {
        connect(box, &QLineEdit::textChanged, this, &NotesLimit::holds);
    }
    // What the box holds now; told before a loaded note goes in, as the box validates it first.
    void holds(const QString& text) { m_allowed = qMax(MaxTyped, text.size()); }
    State validate(QString& input, int&) const override {
        return input.size() <= m_allowed ? Acceptable : Invalid;
    }

private:
    static constexpr qsizetype MaxTyped = 80;
    qsizetype m_allowed = MaxTyped;
};

frmTerminal* frmTerminal::instance() {
    return g_main;
}

frmTerminal* frmTerminal::load() {
    if (!g_main) {
        g_main = new frmTerminal;
        setTerminal(g_main);
        Dialogs::setParentWindow(g_main);
        g_main->Form_Load();
    }
    return g_main;
}

frmTerminal::frmTerminal() {
    setObjectName(QStringLiteral("frmTerminal"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildMenus();
    buildToolbar();
    buildBody();
    buildStatusBar();
    connect(&m_link, &Link::conversationEnded, this, &frmTerminal::afterConversation);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &frmTerminal::mnuQMHelp_Click);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

frmTerminal::~frmTerminal() {
    if (terminal() == this)
        setTerminal(nullptr);
    Dialogs::setParentWindow(nullptr);
}

void frmTerminal::buildMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuOpenFile = addItem(mnuFile, "mnuOpenFile", "&Open Database File");
    mnuNewDB = addItem(mnuFile, "mnuNewDB", "&New Database");
    mnuFile->addSeparator();
    mnuWriteDB = addItem(mnuFile, "mnuWriteDB", "&Program Encoder Database");
    mnuReadDB = addItem(mnuFile, "mnuReadDB", "&Read Encoder Database");
    mnuFile->addSeparator();
    mnuSave = addItem(mnuFile, "mnuSave", "&Save");
    mnuSaveAs = addItem(mnuFile, "mnuSaveAs", "Save &As");
    mnuFile->addSeparator();
    mnuPrintDB = addItem(mnuFile, "mnuPrintDB", "&Print Database Configuration");
    mnuFile->addSeparator();
    mnuFileExit = addItem(mnuFile, "mnuFileExit", "E&xit");

    mnuPort = menuBar()->addMenu(QStringLiteral("&COM Port"));
    mnuPort->setObjectName(QStringLiteral("mnuPort"));
    mnuOpen = addItem(mnuPort, "mnuOpen", "&Open Port");
    mnuPort->addSeparator();
    mnuProperties = addItem(mnuPort, "mnuProperties", "&Properties...");

    mnuTest = menuBar()->addMenu(QStringLiteral("&Test"));
    mnuTest->setObjectName(QStringLiteral("mnuTest"));
    mnuSendMsg = addItem(mnuTest, "mnuSendMsg", "&Send Messages");
    mnuTXTune = addItem(mnuTest, "mnuTXTune", "&Transmitter Tuning");

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuQMHelp = addItem(mnuHelp, "mnuQMHelp", "&Quillmar Paging Encoder Setup Help Topics");
    mnuHelp->addSeparator();
    mnuAbout = addItem(mnuHelp, "mnuAbout", "&About Quillmar Paging Encoder Setup");

    connect(mnuOpenFile, &QAction::triggered, this, &frmTerminal::mnuOpenFile_Click);
    connect(mnuNewDB, &QAction::triggered, this, &frmTerminal::mnuNewDB_Click);
    connect(mnuWriteDB, &QAction::triggered, this, &frmTerminal::mnuWriteDB_Click);
    connect(mnuReadDB, &QAction::triggered, this, &frmTerminal::mnuReadDB_Click);
    connect(mnuSave, &QAction::triggered, this, &frmTerminal::mnuSave_Click);
    connect(mnuSaveAs, &QAction::triggered, this, &frmTerminal::mnuSaveAs_Click);
    connect(mnuPrintDB, &QAction::triggered, this, &frmTerminal::mnuPrintDB_Click);
    connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuOpen, &QAction::triggered, this, &frmTerminal::mnuOpen_Click);
    connect(mnuProperties, &QAction::triggered, this, &frmTerminal::mnuProperties_Click);
    connect(mnuSendMsg, &QAction::triggered, this, &frmTerminal::mnuSendMsg_Click);
    connect(mnuTXTune, &QAction::triggered, this, &frmTerminal::mnuTXTune_Click);
    connect(mnuQMHelp, &QAction::triggered, this, &frmTerminal::mnuQMHelp_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmTerminal::mnuAbout_Click);

    mnuWriteDB->setEnabled(false);
    mnuReadDB->setEnabled(false);
    // The menu's title goes on and off, as every later change does; disabling the menu itself
    // would leave it unable to open once its title is on again.
    mnuTest->menuAction()->setEnabled(false);
    mnuSendMsg->setEnabled(false);
}

void frmTerminal::buildToolbar() {
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbarButtons[0] = Toolbar1->addSeparator();
    const struct {
        const char* text;
        const char* key;
    } buttons[] = {{"Pager &Families", "sequence"}, {"&Group Paging", "group"}, {"Canned &Msgs", "message"},
                   {"&Program Encoder", "program"}, {"&Read Encoder", "read"},  {"&Test Encoder", "test"}};
    for (int i = 0; i < 6; ++i) {
        QAction* a = Toolbar1->addAction(toolbarIcon(buttons[i].key), QString::fromLatin1(buttons[i].text));
        const QString key = QString::fromLatin1(buttons[i].key);
        a->setObjectName(QStringLiteral("Toolbar1_") + key);
        a->setData(key);
        connect(a, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
        toolbarButtons[i + 1] = a;
    }
    for (int n = 5; n <= 7; ++n)
        toolbarButtons[n - 1]->setEnabled(false);
}

void frmTerminal::buildBody() {
    auto* body = new QWidget;
    auto* grid = new QGridLayout(body);

    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(
        QPixmap::fromImage(logoImage()).scaled(54, 46, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    Picture1 = new QLabel;
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(splashPicture().scaled(150, 72, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    cmdComStatus = new QPushButton;
    cmdComStatus->setObjectName(QStringLiteral("cmdComStatus"));
    portPictures = new QStackedWidget;
    ImgConnected = new QToolButton;
    ImgConnected->setObjectName(QStringLiteral("ImgConnected"));
    ImgConnected->setIcon(portPicture(true));
    ImgConnected->setAutoRaise(true);
    ImgNotConnected = new QToolButton;
    ImgNotConnected->setObjectName(QStringLiteral("ImgNotConnected"));
    ImgNotConnected->setIcon(portPicture(false));
    ImgNotConnected->setAutoRaise(true);
    portPictures->addWidget(ImgConnected);
    portPictures->addWidget(ImgNotConnected);
    portPictures->setFixedSize(36, 36);
    connect(cmdComStatus, &QPushButton::clicked, this, &frmTerminal::mnuOpen_Click);
    connect(ImgConnected, &QToolButton::clicked, this, &frmTerminal::mnuOpen_Click);
    connect(ImgNotConnected, &QToolButton::clicked, this, &frmTerminal::mnuOpen_Click);

    Label25 = new QLabel(QStringLiteral("Paging Encoder V7"));
    Label25->setObjectName(QStringLiteral("Label25"));
    lblVersion = new QLabel(QStringLiteral("Firmware Version:"));
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblIDAsCap = new QLabel(QStringLiteral("ID As Capcode Mode is OFF"));
    lblIDAsCap->setObjectName(QStringLiteral("lblIDAsCap"));

    txLookup = new QLineEdit(QStringLiteral("1"));
    txLookup->setObjectName(QStringLiteral("txLookup"));
    cmdLookup = new QPushButton(QStringLiteral("Lookup ID"));
    cmdLookup->setObjectName(QStringLiteral("cmdLookup"));
    cmdLookup->setEnabled(false);
    lblLookup = new QLabel(QStringLiteral("Response:"));
    lblLookup->setObjectName(QStringLiteral("lblLookup"));
    // The encoder's reply has a row of its own across the window, one line high: the line end
    // it comes with stays below the text, and a longer reply is cut at the window's edge
    // instead of widening the window.
    lblLookup->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblLookup->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    lblLookup->setFixedHeight(lblLookup->sizeHint().height()); // "Response:" on one line
    connect(cmdLookup, &QPushButton::clicked, this, &frmTerminal::cmdLookup_Click);

    auto* notesCaption = new QLabel(QStringLiteral("Config Notes - Saved to Disk and Printed Only"));
    txtConfigNotes = new QLineEdit;
    txtConfigNotes->setObjectName(QStringLiteral("txtConfigNotes"));
    notesLimit = new NotesLimit(txtConfigNotes);
    txtConfigNotes->setValidator(notesLimit);
    // The limit on typing is the validator's; the box itself must cut no loaded note, however long.
    txtConfigNotes->setMaxLength(std::numeric_limits<int>::max());
    connect(txtConfigNotes, &QLineEdit::textEdited, this,
            [this](const QString& text) { setNotes(text.toLatin1()); });

    cmdSettings = new QPushButton(QStringLiteral("Advanced Encoder Settings"));
    cmdSettings->setObjectName(QStringLiteral("cmdSettings"));
    connect(cmdSettings, &QPushButton::clicked, this, &frmTerminal::cmdSettings_Click);

    grid->addWidget(Image1, 0, 0, 2, 1);
    grid->addWidget(Label25, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblIDAsCap, 0, 2);
    grid->addWidget(cmdSettings, 1, 2);
    grid->addWidget(Picture1, 0, 3, 2, 1);
    auto* port = new QHBoxLayout;
    port->addWidget(portPictures);
    port->addWidget(cmdComStatus);
    port->addStretch();
    grid->addLayout(port, 2, 0, 1, 2);
    auto* lookup = new QHBoxLayout;
    lookup->addWidget(txLookup);
    lookup->addWidget(cmdLookup);
    grid->addLayout(lookup, 2, 2, 1, 2);
    grid->addWidget(lblLookup, 3, 0, 1, 4);
    grid->addWidget(notesCaption, 4, 0, 1, 4);
    grid->addWidget(txtConfigNotes, 5, 0, 1, 4);
    setCentralWidget(body);
}

void frmTerminal::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 2; ++i) {
        statusPanels[i] = new QLabel;
        statusPanels[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
        bar->addPermanentWidget(statusPanels[i], i == 0 ? 3 : 1);
    }
}

// ---- Start-up --------------------------------------------------------------------------------

void frmTerminal::reportLoadFailure(const QString& description) {
    Dialogs::message(QStringLiteral("Failure During Main Screen Load: ") + description, Buttons::OkCancel,
                     Icon::Critical, QStringLiteral("Failure at Main Screen Load"), Answer::Cancel);
}

void frmTerminal::Form_Load() {
    SharedState& s = shared();
    applyStartValues(s);

    // A second instance warns and then runs like the first. A lock that cannot be made at all
    // (no folder to hold it, or one that takes no file) says nothing of another copy.
    QDir().mkpath(programFolder());
    m_instanceLock = std::make_unique<QLockFile>(programFolder() + QStringLiteral("/.instance.lock"));
    m_instanceLock->setStaleLockTime(0);
    if (!m_instanceLock->tryLock(0) && m_instanceLock->error() == QLockFile::LockFailedError)
        Dialogs::message(QStringLiteral("Quillmar Paging Encoder Setup is already running."), Buttons::Ok,
                         Icon::Exclamation, QString::fromLatin1(AppTitle));

    if (!makeProgramFolderCurrent())
        reportLoadFailure(QStringLiteral("Path not found: ") + programFolder());
    s.HelpFile = QStringLiteral("KELMORA.PDF");
    // The designed size, widened where this desktop's fonts need more room for the toolbar.
    resize(qMax(twipsToPixels(9120), Toolbar1->sizeHint().width() + 16), twipsToPixels(4395));
    QApplication::setApplicationDisplayName(QString());
    setWindowTitle(QString::fromLatin1(AppTitle));
    setStatus(1, QStringLiteral("No Database Loaded"));
    mnuSave->setEnabled(false);
    bringToFront(Control::ImgNotConnected);
    centreOnScreen(this);

    CommControl& port = m_link.MSComm1;
    const QString settings = SettingsStore::get(QStringLiteral("Settings"));
    if (!settings.isEmpty()) {
        if (!port.setSettings(settings)) {
            reportLoadFailure(port.errorDescription());
            port.clearError();
        }
    } else {
        port.setSettings(QStringLiteral("9600,n,8,1"));
        SettingsStore::set(QStringLiteral("Settings"), port.Settings());
    }

    // Serial devices plugged in since the last run get their numbers before the stored one is used.
    assignPortNumbers();
    const QString commPort = SettingsStore::get(QStringLiteral("CommPort"));
    if (commPort.isEmpty()) {
        s.CommPortNumber = 1;
        SettingsStore::set(QStringLiteral("CommPort"), QStringLiteral("1"));
    } else if (const auto n = toInt16(commPort.toLatin1())) {
        s.CommPortNumber = *n;
    } else {
        reportLoadFailure(QStringLiteral("Type mismatch"));
    }
    if (!port.setCommPort(s.CommPortNumber)) {
        reportLoadFailure(port.errorDescription());
        port.clearError();
    }

    s.LastFile = SettingsStore::get(QStringLiteral("LastFile"));

    const QString n = QString::number(port.CommPort());
    setControlToolTip(Control::ImgNotConnected, QStringLiteral(" Enable COM ") + n + QStringLiteral(" "));
    setControlToolTip(Control::ImgConnected, QStringLiteral(" Disable COM ") + n + QStringLiteral(" "));
    setCaption(Control::cmdComStatus, QStringLiteral("Open COM ") + n);

    loadLastFile();
    s.FormLoading = false;
}

// The start-up load: the last database file, when it still lies in the program's folder.
void frmTerminal::loadLastFile() {
    SharedState& s = shared();
    if (s.LastFile.isEmpty() || !QFileInfo::exists(s.LastFile))
        return;
    QFile file(s.LastFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray notes = s.Notes;
    const DatabaseFileRead read = ReadDatabaseFile(file.readAll(), true, s.Db, notes);
    setNotes(notes);
    if (read.idAsCapSeen)
        showIdAsCapMode();
    setStatus(1, QStringLiteral("Loaded Database File: ") + s.LastFile);
}

void frmTerminal::showIdAsCapMode() {
    lblIDAsCap->setText(shared().Db.Settings.IDAsCap ? QStringLiteral("ID As Capcode Mode is ON")
                                                     : QStringLiteral("ID As Capcode Mode is OFF"));
}

// The one place where the notes change, for a loaded file and for typing alike.
void frmTerminal::setNotes(const QByteArray& notes) {
    shared().Notes = notes;
    const QString text = QString::fromLatin1(notes);
    if (txtConfigNotes->text() == text) // typing: the box holds it already, the cursor stays
        return;
    notesLimit->holds(text);
    txtConfigNotes->setText(text);
}

// ---- Database files --------------------------------------------------------------------------

std::optional<QString> frmTerminal::chooseDatabaseFile(bool save, const QString& title) {
    const QString& last = shared().LastFile;
    FileRequest request;
    request.save = save;
    request.title = title;
    request.filter = QString::fromLatin1(DatabaseFilter);
    request.defaultSuffix = QStringLiteral("pg7");
    request.proposed = last.isEmpty() ? programFolder() : programFolder() + QLatin1Char('/') + last;
    auto chosen = Dialogs::file(request);
    if (chosen) {
        QFileInfo info(*chosen);
        if (info.suffix().isEmpty())
            chosen = *chosen + QStringLiteral(".pg7");
        QDir::setCurrent(QFileInfo(*chosen).absolutePath());
    }
    return chosen;
}

void frmTerminal::mnuNewDB_Click() {
    if (linkBusy())
        return;
    if (Dialogs::message(QStringLiteral("Are You Sure You Want to Clear the Pager Database?\r"
                                        "This Action Will Not Erase the Encoder's Database"),
                         Buttons::YesNo, Icon::Question,
                         QStringLiteral("Clear Pager Database")) != Answer::Yes)
        return;
    setBusy(true);
    clearTables(shared().Db);
    setStatus(1, QStringLiteral("New Configuration, Does Not Match Encoder"));
    shared().EncoderMatches = false;
    DatabaseReplaced();
    setBusy(false);
}

void frmTerminal::mnuOpenFile_Click() {
    if (linkBusy())
        return;
    SharedState& s = shared();
    s.DatabaseBusy = true;
    const auto chosen = chooseDatabaseFile(false, QStringLiteral("Open Pager Database File"));
    if (!chosen) {
        setBusy(false);
        EndDatabaseRun();
        return;
    }
    QFile file(*chosen);
    if (!file.open(QIODevice::ReadOnly)) {
        Dialogs::failure(file.errorString());
        setBusy(false);
        EndDatabaseRun();
        return;
    }
    QByteArray notes = s.Notes;
    const DatabaseFileRead read = ReadDatabaseFile(file.readAll(), false, s.Db, notes);
    file.close();
    // The file was read: only now does it become the current file.
    m_databaseFilePath = *chosen;
    s.LastFile = QFileInfo(*chosen).fileName();
    setNotes(notes);
    if (read.idAsCapSeen)
        showIdAsCapMode();
    setStatus(1, QStringLiteral("Loaded File: ") + s.LastFile + QStringLiteral(", Doesn't Match Encoder"));
    SettingsStore::set(QStringLiteral("LastFile"), s.LastFile);
    mnuSave->setEnabled(true);
    s.EncoderMatches = false;
    cmdLookup->setEnabled(false);
    mnuSendMsg->setEnabled(false);
    toolbarButtons[6]->setEnabled(false);
    unloadTestConsole();
    EndDatabaseRun();
    DatabaseReplaced();
}

// Writes the whole new file beside the old one and replaces it only once complete, so a failed
// save never destroys the previous file. Where the user may write the file but its folder takes
// no new file, the file is written in place instead.
bool frmTerminal::writeDatabaseTo(const QString& path) {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (file.open(QIODevice::WriteOnly)) {
        const QByteArray content = WriteDatabaseFile(shared().Db, shared().Notes);
        if (file.write(content) == content.size() && file.commit())
            return true;
    }
    Dialogs::failure(file.errorString());
    setBusy(false);
    return false;
}

QString frmTerminal::saveStatusText() const {
    return QStringLiteral("Saved Database to File: ") + shared().LastFile +
           (shared().EncoderMatches ? QStringLiteral(", Matches Encoder")
                                    : QStringLiteral(", Doesn't Match Encoder"));
}

void frmTerminal::mnuSave_Click() {
    if (linkBusy() || !shared().DatabaseChecked || m_databaseFilePath.isEmpty())
        return;
    if (!writeDatabaseTo(m_databaseFilePath))
        return;
    setStatus(1, saveStatusText());
    QDir::setCurrent(programFolder());
}

void frmTerminal::mnuSaveAs_Click() {
    SharedState& s = shared();
    if (linkBusy() || !s.DatabaseChecked)
        return;
    const auto chosen = chooseDatabaseFile(true, QStringLiteral("Save Pager Database File"));
    if (!chosen)
        return;
    if (!writeDatabaseTo(*chosen))
        return;
    m_databaseFilePath = *chosen;
    s.LastFile = QFileInfo(*chosen).fileName();
    SettingsStore::set(QStringLiteral("LastFile"), s.LastFile);
    setStatus(1, saveStatusText());
    QDir::setCurrent(programFolder());
    mnuSave->setEnabled(true);
}

void frmTerminal::mnuPrintDB_Click() {
    if (linkBusy())
        return;
    PrintDatabase(shared(), m_link.MSComm1.Settings(), logoImage());
}

// ---- Encoder commands ------------------------------------------------------------------------

void frmTerminal::mnuWriteDB_Click() {
    if (linkBusy())
        return;
    bool yes = shared().EncoderMatches;
    if (!yes)
        yes = Dialogs::message(
                  QStringLiteral("You are About to Program the Encoder with the Current Configuration\r"
                                 "Are You Sure?"),
                  Buttons::YesNo, Icon::Question, QStringLiteral("Program Encoder?")) == Answer::Yes;
    if (yes)
        WriteEncoderDatabase();
    if (m_link.MSComm1.PortOpen())
        setControlEnabled(Control::mnuTest, true);
}

void frmTerminal::mnuReadDB_Click() {
    if (linkBusy())
        return;
    ReadEncoderDatabase();
}

void frmTerminal::mnuOpen_Click() {
    // While the link talks to the encoder a port toggle stops that conversation; the port is
    // closed once it has unwound (afterConversation), never under it.
    if (linkBusy()) {
        m_link.stopConversation(AfterRun::ClosePort);
        return;
    }
    ToggleComPort();
}

void frmTerminal::afterConversation(AfterRun then) {
    if (m_unloaded) {
        if (m_deleteAfterConversation)
            deleteLater();
        return;
    }
    if (then == AfterRun::Nothing)
        return;
    CloseComPort();
    if (then == AfterRun::OpenProperties)
        mnuProperties_Click();
}

void frmTerminal::mnuProperties_Click() {
    if (linkBusy()) {
        m_link.stopConversation(AfterRun::OpenProperties);
        return;
    }
    if (m_link.MSComm1.PortOpen())
        mnuOpen_Click();
    auto* dialog = new frmProperties(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->exec();
}

bool frmTerminal::linkBusy() const {
    return m_link.exchangeRunning;
}

void frmTerminal::mnuSendMsg_Click() {
    if (linkBusy())
        return;
    SharedState& s = shared();
    if (!m_link.MSComm1.PortOpen()) {
        Dialogs::message(QStringLiteral("COM Port ") + QString::number(m_link.MSComm1.CommPort()) +
                             QStringLiteral(" is Not Open\rPlease Open Port and Try Again"),
                         Buttons::Ok, Icon::Critical, QStringLiteral("COM Port Not Open"));
        setBusy(false);
        s.DatabaseBusy = false;
    } else if (s.EncoderMatches) {
        frmMessageTest::showModal(this);
    } else {
        Dialogs::message(QStringLiteral("The Displayed Pager Database Must Match the Encoder's Database\r"
                                        "You can Either Read the Encoder or Program the Encoder."),
                         Buttons::Ok, Icon::Exclamation,
                         QStringLiteral("Pager Database Doesn't Match Displayed Database"));
        setBusy(false);
    }
}

void frmTerminal::mnuTXTune_Click() {
    if (linkBusy())
        return;
    frmTXTune::showModal(this);
}

void frmTerminal::cmdLookup_Click() {
    if (linkBusy())
        return;
    LookupId();
}

void frmTerminal::cmdSettings_Click() {
    if (linkBusy())
        return;
    auto* prompt = new frmPassword(this);
    prompt->setAttribute(Qt::WA_DeleteOnClose);
    prompt->exec();
}

void frmTerminal::mnuQMHelp_Click() {
    openHelpFile();
}

void frmTerminal::mnuAbout_Click() {
    frmSplash::load();
}

void frmTerminal::Toolbar1_ButtonClick(const QString& key) {
    if (key == QLatin1String("sequence")) {
        openFamiliesEditor();
    } else if (key == QLatin1String("group")) {
        openGroupsEditor();
    } else if (key == QLatin1String("message")) {
        openMessagesEditor();
    } else if (key == QLatin1String("program")) {
        mnuWriteDB_Click();
    } else if (key == QLatin1String("read")) {
        if (linkBusy())
            return;
        if (shared().EncoderMatches ||
            Dialogs::message(
                QStringLiteral("You are About to Read the Encoder and Replace the Current Configuration\r"
                               "Are You Sure?"),
                Buttons::YesNo, Icon::Question, QStringLiteral("Read Encoder?")) == Answer::Yes)
            mnuReadDB_Click();
    } else if (key == QLatin1String("test")) {
        mnuSendMsg_Click();
    }
}

void frmTerminal::openFamiliesEditor() {
    frmCfgFam::open();
}

void frmTerminal::openGroupsEditor() {
    frmCfgGroup::open();
}

void frmTerminal::openMessagesEditor() {
    frmCfgMsg::open();
}

// ---- Shutdown --------------------------------------------------------------------------------

const QStringList& frmTerminal::shutdownOrder() {
    static const QStringList order{
        QStringLiteral("frmMessageTest"), QStringLiteral("frmRangeTest"), QStringLiteral("frmProperties"),
        QStringLiteral("frmCancelSend"),  QStringLiteral("frmSplash"),    QStringLiteral("frmCfgGroup"),
        QStringLiteral("frmCfgMsg"),      QStringLiteral("frmCfgFam"),    QStringLiteral("frmTXTune")};
    return order;
}

namespace {
QList<QWidget*> loadedWindows(const QWidget* except) {
    QList<QWidget*> found;
    const QList<QWidget*> all = QApplication::topLevelWidgets();
    for (const QString& name : frmTerminal::shutdownOrder())
        for (QWidget* w : all)
            if (w != except && w->objectName() == name)
                found.append(w);
    return found;
}
} // namespace

// The window is unloaded deferred: while a conversation with the encoder runs, its handler keeps
// using the window and the link it owns across every wait, so the window goes only once that
// conversation has ended (afterConversation). Nothing else re-checks for it.
void frmTerminal::closeEvent(QCloseEvent* event) {
    if (m_unloaded || Form_QueryUnload()) {
        Form_Unload();
        if (linkBusy()) {
            setAttribute(Qt::WA_DeleteOnClose, false);
            m_deleteAfterConversation = true;
        }
        event->accept();
    } else {
        event->ignore();
    }
}

// Asks the exit question, then every window's own closing question, before anything is closed:
// a No anywhere keeps the program running exactly as it was.
bool frmTerminal::Form_QueryUnload() {
    SharedState& s = shared();
    const QString title = QStringLiteral("Exit Quillmar Paging Encoder Setup");
    const Answer answer =
        s.EncoderMatches
            ? Dialogs::message(QStringLiteral("Are You Sure You Want to Exit Quillmar Paging Encoder Setup?"),
                               Buttons::YesNo, Icon::Question, title)
            : Dialogs::message(QStringLiteral("You Have Not Programmed the Encoder with Your Current Edits\r"
                                              "Are You Sure You Want to Exit Quillmar Paging Encoder Setup?"),
                               Buttons::YesNo, Icon::Exclamation, title);
    if (answer != Answer::Yes)
        return false;
    s.ExitConfirmed = true;
    for (QWidget* w : loadedWindows(this)) {
        auto* asks = dynamic_cast<AsksBeforeClosing*>(w);
        if (asks && !asks->queryUnload()) {
            s.ExitConfirmed = false;
            return false;
        }
    }
    return true;
}

void frmTerminal::Form_Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_link.MSComm1.PortOpen())
        m_link.MSComm1.setPortOpen(false);
    // Their questions were asked already; a window still waiting on the port unwinds first,
    // as every wait ends once the exit is confirmed.
    for (QWidget* w : loadedWindows(this)) {
        w->hide();
        w->deleteLater();
    }
    m_link.Timer1.stop();
    m_link.Timer2.stop();
    if (m_instanceLock)
        m_instanceLock->unlock();
}

// ---- Controls by name ------------------------------------------------------------------------

QObject* frmTerminal::control(Control c) const {
    switch (c) {
    case Control::mnuOpenFile:
        return mnuOpenFile;
    case Control::mnuNewDB:
        return mnuNewDB;
    case Control::mnuWriteDB:
        return mnuWriteDB;
    case Control::mnuReadDB:
        return mnuReadDB;
    case Control::mnuSave:
        return mnuSave;
    case Control::mnuSaveAs:
        return mnuSaveAs;
    case Control::mnuPrintDB:
        return mnuPrintDB;
    case Control::mnuOpen:
        return mnuOpen;
    case Control::mnuProperties:
        return mnuProperties;
    case Control::mnuTest:
        return mnuTest->menuAction();
    case Control::mnuSendMsg:
        return mnuSendMsg;
    case Control::mnuTXTune:
        return mnuTXTune;
    case Control::cmdComStatus:
        return cmdComStatus;
    case Control::ImgConnected:
        return ImgConnected;
    case Control::ImgNotConnected:
        return ImgNotConnected;
    case Control::Label25:
        return Label25;
    case Control::lblIDAsCap:
        return lblIDAsCap;
    case Control::txLookup:
        return txLookup;
    case Control::cmdLookup:
        return cmdLookup;
    case Control::lblLookup:
        return lblLookup;
    case Control::cmdSettings:
        return cmdSettings;
    default:
        return toolbarButtons[int(c) - int(Control::Toolbar1Button1)];
    }
}

QAction* frmTerminal::action(Control c) const {
    return qobject_cast<QAction*>(control(c));
}

void frmTerminal::setControlEnabled(Control c, bool enabled) {
    QObject* o = control(c);
    if (auto* a = qobject_cast<QAction*>(o))
        a->setEnabled(enabled);
    else if (auto* w = qobject_cast<QWidget*>(o))
        w->setEnabled(enabled);
}

bool frmTerminal::controlEnabled(Control c) const {
    QObject* o = control(c);
    if (auto* a = qobject_cast<QAction*>(o))
        return a->isEnabled();
    if (auto* w = qobject_cast<QWidget*>(o))
        return w->isEnabled();
    return false;
}

void frmTerminal::setCaption(Control c, const QString& caption) {
    QObject* o = control(c);
    if (auto* a = qobject_cast<QAction*>(o))
        a->setText(caption);
    else if (auto* b = qobject_cast<QAbstractButton*>(o))
        b->setText(caption);
    else if (auto* l = qobject_cast<QLabel*>(o))
        l->setText(caption);
    else if (auto* e = qobject_cast<QLineEdit*>(o))
        e->setText(caption);
}

QString frmTerminal::caption(Control c) const {
    QObject* o = control(c);
    if (auto* a = qobject_cast<QAction*>(o))
        return a->text();
    if (auto* b = qobject_cast<QAbstractButton*>(o))
        return b->text();
    if (auto* l = qobject_cast<QLabel*>(o))
        return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(o))
        return e->text();
    return QString();
}

void frmTerminal::setControlToolTip(Control c, const QString& tip) {
    QObject* o = control(c);
    if (auto* a = qobject_cast<QAction*>(o))
        a->setToolTip(tip);
    else if (auto* w = qobject_cast<QWidget*>(o))
        w->setToolTip(tip);
}

void frmTerminal::setChecked(Control c, bool checked) {
    if (QAction* a = action(c)) {
        a->setCheckable(checked || a->isCheckable());
        a->setChecked(checked);
    }
}

void frmTerminal::bringToFront(Control c) {
    if (auto* w = qobject_cast<QWidget*>(control(c)))
        portPictures->setCurrentWidget(w);
}

void frmTerminal::setStatus(int panel, const QString& text) {
    if (panel >= 1 && panel <= 2)
        statusPanels[panel - 1]->setText(text);
}

QString frmTerminal::status(int panel) const {
    return panel >= 1 && panel <= 2 ? statusPanels[panel - 1]->text() : QString();
}

void frmTerminal::unloadTestConsole() {
    frmMessageTest::unload();
}

} // namespace qpes

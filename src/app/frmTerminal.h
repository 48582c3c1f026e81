#pragma once
// The main window: owns the serial port, the two timers, the status bar and the toolbar, and
// dispatches every menu item and toolbar button.

#include "link/Link.h"
#include "platform/TerminalControls.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QLockFile;
class QMenu;
class QPushButton;
class QStackedWidget;
class QToolBar;
class QToolButton;

namespace qpes {

class NotesLimit;

class frmTerminal : public QMainWindow, public TerminalControls {
    Q_OBJECT
public:
    // The one main window: created and loaded on first use.
    static frmTerminal* load();
    static frmTerminal* instance();
    ~frmTerminal() override;

    // TerminalControls
    void setControlEnabled(Control c, bool enabled) override;
    bool controlEnabled(Control c) const override;
    void setCaption(Control c, const QString& caption) override;
    QString caption(Control c) const override;
    void setControlToolTip(Control c, const QString& tip) override;
    void setChecked(Control c, bool checked) override;
    void bringToFront(Control c) override;
    void setStatus(int panel, const QString& text) override;
    QString status(int panel) const override;
    Link& link() override { return m_link; }
    void unloadTestConsole() override;

    QString DatabaseFilePath() const { return m_databaseFilePath; }
    QAction* action(Control c) const;
    void setNotes(const QByteArray& notes); // the notes box and the shared notes together

    // Menu, toolbar and control handlers.
    void mnuOpenFile_Click();
    void mnuNewDB_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuPrintDB_Click();
    void mnuWriteDB_Click();
    void mnuReadDB_Click();
    void mnuOpen_Click();
    void mnuProperties_Click();
    void mnuSendMsg_Click();
    void mnuTXTune_Click();
    void mnuQMHelp_Click();
    void mnuAbout_Click();
    void cmdLookup_Click();
    void cmdSettings_Click();
    void Toolbar1_ButtonClick(const QString& key);
    void openFamiliesEditor();
    void openGroupsEditor();
    void openMessagesEditor();

    // The windows the shutdown unloads, in their order.
    static const QStringList& shutdownOrder();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    frmTerminal();
    void Form_Load();
    bool Form_QueryUnload();
    void Form_Unload();
    void buildMenus();
    void buildToolbar();
    void buildBody();
    void buildStatusBar();
    void loadLastFile();
    void showIdAsCapMode();
    void reportLoadFailure(const QString& description);
    std::optional<QString> chooseDatabaseFile(bool save, const QString& title);
    bool writeDatabaseTo(const QString& path);
    QString saveStatusText() const;
    QObject* control(Control c) const;
    bool linkBusy() const;                 // an encoder conversation is under way
    void afterConversation(AfterRun then); // what a stopped or failed conversation left to do

    Link m_link;
    QString m_databaseFilePath;
    std::unique_ptr<QLockFile> m_instanceLock;
    bool m_unloaded = false;
    bool m_deleteAfterConversation = false;

    QMenu* mnuFile = nullptr;
    QMenu* mnuPort = nullptr;
    QMenu* mnuTest = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuOpenFile = nullptr;
    QAction* mnuNewDB = nullptr;
    QAction* mnuWriteDB = nullptr;
    QAction* mnuReadDB = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuPrintDB = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuProperties = nullptr;
    QAction* mnuSendMsg = nullptr;
    QAction* mnuTXTune = nullptr;
    QAction* mnuQMHelp = nullptr;
    QAction* mnuAbout = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QAction* toolbarButtons[7] = {};
    QLabel* statusPanels[2] = {};
    QPushButton* cmdComStatus = nullptr;
    QStackedWidget* portPictures = nullptr;
    QToolButton* ImgConnected = nullptr;
    QToolButton* ImgNotConnected = nullptr;
    QLabel* Label25 = nullptr;
    QLabel* lblIDAsCap = nullptr;
    QLineEdit* txLookup = nullptr;
    QPushButton* cmdLookup = nullptr;
    QLabel* lblLookup = nullptr;
    QLineEdit* txtConfigNotes = nullptr;
    NotesLimit* notesLimit = nullptr;
    QPushButton* cmdSettings = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Picture1 = nullptr;
};

} // namespace qpes

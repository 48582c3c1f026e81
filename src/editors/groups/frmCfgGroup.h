#pragma once
// The pager groups editor: one grid column per group, one row per field, a text box and a
// message list laid over the current cell, and OK's completeness pass and groups check.

#include "platform/TerminalControls.h"

#include <QByteArray>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qpes {

class EditorGrid;

class frmCfgGroup : public QWidget, public AsksBeforeClosing {
    Q_OBJECT
public:
    // Loads the window, or brings the loaded one forward.
    static frmCfgGroup* open();
    static frmCfgGroup* instance();
    ~frmCfgGroup() override; // erases the groups left undefined

    // Grid rows.
    enum Row { RowReference = 1, RowActive, RowGroupID, RowPagerID1, RowPagerID20 = RowPagerID1 + 19 };

    bool queryUnload() override;

    // Event handlers.
    bool Form_KeyDown(int keyCode); // true: the key was consumed
    void fgGroups_Click();
    void txtGrp_Change();
    void cmbMsg_Click();
    void cmdOK_Click();

    bool checking() const { return m_checking; }

    EditorGrid* fgGroups;
    QLineEdit* txtGrp;
    QComboBox* cmbMsg;
    QLabel* lblMsg;
    QPushButton* cmdOK;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    frmCfgGroup();
    void Form_Load();
    void Form_Unload();
    void loadGroups(int count = GroupCount); // the first `count` groups
    void refill(int groupsReplaced);

    bool loadGroup(int g); // true: a trigger was switched off
    void paint(int col, int firstRow, int lastRow, const QColor& colour);
    void paintValues(int col, const QColor& colour);
    void clearTexts(int col, int firstRow, int lastRow);
    void showIds(int g);
    void refreshTriggers(int g, bool asStored);
    void activate(int g, bool fromList);
    void activeToggle(int g);
    void switchToggle(int g, int row);
    void messageList(int g, int row);
    void placeTextEditor(int row, int col);
    void storeId(int g, int row, const QByteArray& text, bool activated);
    void runPass();
    bool runCheck();
    bool askIncomplete();
    int groupOfColumn() const; // -1 on the headings' column

    QByteArray m_typed;            // txtGrp's text before the last keystroke
    bool m_checking = false;       // the groups check is running
    bool m_abort = false;          // the window or the program closes: the check stops
    bool m_passDone = false;       // OK ran the pass just before closing
    bool m_edited = false;         // the user changed a group since the window opened
    bool m_closeRequested = false; // closed during the check
    bool m_deleteAfterCheck = false;
    bool m_unloaded = false;
};

} // namespace qpes

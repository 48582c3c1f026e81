#pragma once
// The pager families window: one grid row per family, floating editors over the cell being
// edited, and OK, which completes or erases the families and runs the families check.

#include "platform/TerminalControls.h"

#include <QWidget>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qpes {

class EditorGrid;
class LengthLimit;

class frmCfgFam : public QWidget, public AsksBeforeClosing {
    Q_OBJECT
public:
    // Loads the window, or brings the loaded one forward.
    static frmCfgFam* open();
    static frmCfgFam* loaded();

    bool queryUnload() override { return Form_QueryUnload(); }

    // Handlers, also reached by the keys and by tests.
    void fgFamilies_Click();
    void cmdOK_Click();
    bool Form_KeyDown(int key); // true: the key is consumed

    EditorGrid* fgFamilies;
    QLabel* lblPrefix;
    QLabel* lblSuffix;
    QPushButton* cmdOK;
    QLineEdit* txtFam;
    QComboBox* cmbPgrType;
    QComboBox* cmbFunc;
    QComboBox* cmbRate;
    QComboBox* cmbMsg;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;

private:
    frmCfgFam();
    void Form_Load();
    void refill();
    bool Form_QueryUnload();
    void fgFamilies_Scroll();

    void txtFam_Change();
    void cmbPgrType_Click();
    void cmbFunc_Click();
    void cmbRate_Click();
    void cmbMsg_Click();
    bool CheckFamiliesDatabase();

    void goTo(int row, int col);
    void fillRow(int r);
    void switchOn(int r);
    void paintActiveRow(int r);
    void switchOff(int r);
    void placeText(int c);
    void placeCombo(QComboBox* box, const QString& item);
    void comboClick(QComboBox* box); // runs the box's own handler
    void refreshLabels(bool shorten);
    bool createTextRecord(int r);
    bool createComboRecord(int r);
    void comboChosen(QComboBox* box, int index);
    void showDerived(int r, bool endId, bool endCap);
    void showAdjusted(int row, int field);
    void setCell(int r, int c, const QByteArray& text);
    void setCell(int r, int c, const QByteArray& text, const QColor& colour);
    bool editsBlocked() const;

    LengthLimit* m_limit;
    bool m_checking = false;
    bool m_closeAfterCheck = false;  // the window was closed while the check ran
    bool m_deleteAfterCheck = false; // the program is ending
};

} // namespace qpes

#include "editors/groups/frmCfgGroup.h"

#include "editors/EditorColours.h"
#include "editors/EditorGrid.h"
#include "editors/groups/EditorWindows.h"
#include "link/frmCancelSend.h"
#include "model/Groups.h"
#include "model/PagerDatabase.h"
#include "model/Text.h"
#include "model/TypedText.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <utility>

namespace qpes {

namespace {

QPointer<frmCfgGroup> g_window;

constexpr int Columns = 11; // the heading column and ten groups
constexpr int Rows = 30;    // the heading row and 29 fields
constexpr int LastRow = Rows - 1;
// CC Active: each trigger has its switch row and, below it, its message row.
constexpr int RowTriggers = frmCfgGroup::RowPagerID20 + 1;
constexpr int TypedLength = 6; // txtGrp's length

const char* const RowHeadings[LastRow] = {
    " Reference",   " Active",      " Group ID  ",  " Pager ID 1",     " Pager ID 2",  " Pager ID 3",
    " Pager ID 4",  " Pager ID 5",  " Pager ID 6",  " Pager ID 7",     " Pager ID 8",  " Pager ID 9",
    " Pager ID 10", " Pager ID 11", " Pager ID 12", " Pager ID 13",    " Pager ID 14", " Pager ID 15",
    " Pager ID 16", " Pager ID 17", " Pager ID 18", " Pager ID 19",    " Pager ID 20", " CC Active",
    " CC Msg #",    " CO Active",   " CO Msg #",    " Timer Active  ", " Timer Msg #"};

QString text(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

bool isPagerIdRow(int row) {
    return row >= frmCfgGroup::RowPagerID1 && row <= frmCfgGroup::RowPagerID20;
}
int pagerIdRow(int field) {
    return frmCfgGroup::RowPagerID1 + field - Grp::PagerID1;
}
// The trigger of a switch or message row, -1 for other rows.
int triggerOfRow(int row) {
    return row >= RowTriggers && row <= LastRow ? (row - RowTriggers) / 2 : -1;
}
bool isSwitchRow(int row) {
    return triggerOfRow(row) >= 0 && (row - RowTriggers) % 2 == 0;
}
int switchRow(int t) {
    return RowTriggers + 2 * t;
}

PagerGroup& group(int g) {
    return shared().Db.Groups[g];
}

} // namespace

frmCfgGroup* frmCfgGroup::instance() {
    return g_window;
}

frmCfgGroup* frmCfgGroup::open() {
    if (!bringForward(g_window)) {
        g_window = new frmCfgGroup;
        g_window->Form_Load();
    }
    return g_window;
}

frmCfgGroup::frmCfgGroup() : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("frmCfgGroup"));
    setWindowTitle(QStringLiteral(" Pager Groups Setup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twipsToPixels(9450), twipsToPixels(8205));

    fgGroups = new EditorGrid(Rows, Columns, this);
    fgGroups->setObjectName(QStringLiteral("fgGroups"));
    fgGroups->setGeometry(twipsToPixels(120), twipsToPixels(120), twipsToPixels(9255), twipsToPixels(7335));
    QFont small = fgGroups->font(); // ten groups side by side
    small.setPointSize(8);
    fgGroups->setFont(small);
    fgGroups->horizontalHeader()->setFont(small);
    fgGroups->verticalHeader()->setFont(small);
    fgGroups->fitColumn(0, QStringLiteral(" Timer Active  ")); // the widest row heading
    for (int c = 1; c <= GroupCount; ++c) {
        const QString heading = c < 10 ? QStringLiteral("  Group %1 ").arg(c) : QStringLiteral(" Group 10 ");
        fgGroups->setText(0, c, heading);
        fgGroups->fitColumn(c, heading);
        fgGroups->setColumnAlignment(c, Qt::AlignLeft);
    }

    // Where the desktop's font is wider than the grid, the window grows so every group shows.
    setFixedSize(width() + fgGroups->growToContent(), height());

    txtGrp = new QLineEdit;
    txtGrp->setObjectName(QStringLiteral("txtGrp"));
    fgGroups->addEditor(txtGrp);
    cmbMsg = new QComboBox;
    cmbMsg->setObjectName(QStringLiteral("cmbMsg"));
    cmbMsg->addItem(QStringLiteral("None"));
    for (int n = 1; n <= MessageCount; ++n)
        cmbMsg->addItem(QString::number(n));
    fgGroups->addEditor(cmbMsg);

    lblMsg = new QLabel(QStringLiteral("Message:"), this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setGeometry(twipsToPixels(120), twipsToPixels(7440), twipsToPixels(9135), twipsToPixels(255));
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsToPixels(4200), twipsToPixels(7680), twipsToPixels(855), twipsToPixels(375));

    connect(fgGroups, &EditorGrid::cellClick, this, &frmCfgGroup::fgGroups_Click);
    connect(txtGrp, &QLineEdit::textEdited, this, &frmCfgGroup::txtGrp_Change);
    connect(cmbMsg, &QComboBox::activated, this, &frmCfgGroup::cmbMsg_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmCfgGroup::cmdOK_Click);
    fgGroups->setKeyHandler([this](QKeyEvent* e) { return Form_KeyDown(e->key()); });
    fgGroups->watchKeys(cmdOK);

    followDatabase(this, [this](int groupsReplaced) { refill(groupsReplaced); });
    followMainWindow(this, [this] {
        if (m_checking) {
            m_abort = true;
            m_deleteAfterCheck = true;
        } else {
            delete this;
        }
    });
}

frmCfgGroup::~frmCfgGroup() {
    if (!m_unloaded)
        Form_Unload();
}

// ---- Load and unload -------------------------------------------------------------------------

void frmCfgGroup::Form_Load() {
    SharedState& s = shared();
    beginLoad(this);
    for (int r = 1; r <= LastRow; ++r)
        fgGroups->setText(r, 0, QString::fromLatin1(RowHeadings[r - 1]));
    fgGroups->setColumnAlignment(0, Qt::AlignHCenter);
    fgGroups->setCol(1);
    loadGroups();
    show();
    fgGroups->setFocus();
    fgGroups->setCurrent(RowGroupID, 1);
    s.FormLoading = false;
    fgGroups_Click();
}

void frmCfgGroup::loadGroups(int count) {
    bool switchedOff = false;
    for (int g = 0; g < count; ++g)
        switchedOff |= loadGroup(g);
    // A trigger switched off here changes what goes to the encoder.
    if (switchedOff)
        NoticeEdit();
}

// The database was replaced under the open window: the grid shows the replaced groups as a load
// shows them, with no editor out, and the window stays where it is. A group a stopped read did
// not reach stays as shown, typed but not yet complete perhaps, and the edits stay with it for the
// pass at closing; only a groups table replaced as a whole takes them along.
void frmCfgGroup::refill(int groupsReplaced) {
    fgGroups->hideEditors();
    for (int c = 1; c <= groupsReplaced; ++c)
        fgGroups->clearColumn(c);
    loadGroups(groupsReplaced);
    fgGroups->setCurrent(RowGroupID, 1);
    lblMsg->setText(QStringLiteral("Message:"));
    if (groupsReplaced == GroupCount) {
        m_edited = false;
        m_passDone = false;
    }
}

bool frmCfgGroup::loadGroup(int g) {
    const int c = g + 1;
    PagerGroup& grp = group(g);
    fgGroups->setText(RowReference, c, text(grp[Grp::Reference]));
    if (grp[Grp::Defined] != "YES") {
        paint(c, RowActive, RowActive, EditorColour::Off);
        fgGroups->setText(RowActive, c, QStringLiteral("OFF"));
        paint(c, RowReference, RowReference, EditorColour::DarkGrey);
        clearTexts(c, RowGroupID, LastRow);
        paint(c, RowGroupID, LastRow, EditorColour::DarkGrey);
        return false;
    }
    const bool active = grp[Grp::Active] == "1";
    fgGroups->setText(RowActive, c, active ? QStringLiteral("ON") : QStringLiteral("OFF"));
    paint(c, RowActive, RowActive, active ? EditorColour::On : EditorColour::Off);
    const QColor& column = active ? EditorColour::Ivory : EditorColour::LightGrey;
    paint(c, RowReference, RowReference, column);
    paint(c, RowGroupID, LastRow, column);
    showIds(g);

    bool switchedOff = false;
    for (int t = 0; t < 3; ++t) {
        const int row = switchRow(t);
        QByteArray& on = grp[Triggers[t].active];
        fgGroups->setText(row, c, on == "1" ? QStringLiteral("ON") : QStringLiteral("OFF"));
        if (active)
            paint(c, row, row, on == "1" ? EditorColour::On : EditorColour::Off);
        const QByteArray& message = grp[Triggers[t].message];
        if (!hasMessage(message) && on == "1") {
            paint(c, row, row, EditorColour::Off);
            fgGroups->setText(row, c, QStringLiteral("OFF"));
            on = "0";
            switchedOff = true;
        }
        fgGroups->setText(row + 1, c, text(shownMessage(message)));
    }
    if (active && !anyPagerIdSet(grp))
        paint(c, RowPagerID1, RowPagerID20, EditorColour::Missing);
    return switchedOff;
}

void frmCfgGroup::Form_Unload() {
    m_unloaded = true;
    if (g_window == this)
        g_window = nullptr; // the next command loads a new window
    ResetUndefinedGroups(shared().Db.Groups);
}

// ---- Cells -----------------------------------------------------------------------------------

void frmCfgGroup::paint(int col, int firstRow, int lastRow, const QColor& colour) {
    for (int r = firstRow; r <= lastRow; ++r)
        fgGroups->setBackground(r, col, colour);
}

// The ID rows and the three message rows.
void frmCfgGroup::paintValues(int col, const QColor& colour) {
    paint(col, RowGroupID, RowPagerID20, colour);
    for (int t = 0; t < 3; ++t)
        paint(col, switchRow(t) + 1, switchRow(t) + 1, colour);
}

void frmCfgGroup::clearTexts(int col, int firstRow, int lastRow) {
    for (int r = firstRow; r <= lastRow; ++r)
        fgGroups->setText(r, col, QString());
}

// The reference and ID texts as stored, so that a switched-on group never hides what it holds.
void frmCfgGroup::showIds(int g) {
    const int c = g + 1;
    const PagerGroup& grp = group(g);
    fgGroups->setText(RowReference, c, text(grp[Grp::Reference]));
    fgGroups->setText(RowGroupID, c, text(shownGroupId(grp[Grp::GroupID])));
    for (int j = Grp::PagerID1; j <= Grp::PagerID20; ++j)
        fgGroups->setText(pagerIdRow(j), c, text(shownPagerId(grp[j])));
}

// The trigger rows of a group just switched on. The message list shows its fields as stored.
void frmCfgGroup::refreshTriggers(int g, bool asStored) {
    const int c = g + 1;
    const PagerGroup& grp = group(g);
    for (int t = 0; t < 3; ++t) {
        const int row = switchRow(t);
        const bool on = grp[Triggers[t].active] == "1";
        fgGroups->setText(row, c, on ? QStringLiteral("ON") : QStringLiteral("OFF"));
        paint(c, row, row, on ? EditorColour::On : EditorColour::Off);
        const QByteArray& message = grp[Triggers[t].message];
        fgGroups->setText(row + 1, c, text(asStored ? message : shownMessage(message)));
        // Shown as stored, the message keeps the colour of the group's column.
        if (on && !asStored && !hasMessage(message))
            paint(c, row + 1, row + 1, EditorColour::Missing);
    }
}

// Switches a group on: from the grid or the text box rows 1 to 29 are repainted; from the
// message list rows 3 to 29, an incomplete group loses Defined and the messages show as stored.
void frmCfgGroup::activate(int g, bool fromList) {
    const int c = g + 1;
    PagerGroup& grp = group(g);
    fgGroups->setText(RowActive, c, QStringLiteral("ON"));
    grp[Grp::Active] = "1";
    showIds(g);
    const int first = fromList ? int(RowGroupID) : int(RowReference);
    if (completeOnActivation(grp)) {
        grp[Grp::Defined] = "YES";
        paint(c, first, LastRow, EditorColour::Ivory);
    } else {
        paint(c, first, LastRow, EditorColour::Missing);
        if (fromList)
            grp[Grp::Defined].clear();
    }
    refreshTriggers(g, fromList);
    paint(c, RowActive, RowActive, EditorColour::On);
}

int frmCfgGroup::groupOfColumn() const {
    return fgGroups->col() - 1; // the grid has no column past the last group
}

// ---- Keys ------------------------------------------------------------------------------------

bool frmCfgGroup::Form_KeyDown(int keyCode) {
    const int r = fgGroups->row();
    const int c = fgGroups->col();
    switch (keyCode) {
    case Qt::Key_F1:
        openHelpFile();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Right:
        if (m_checking)
            return true; // the check holds the current cell
        if (r < RowPagerID20)
            fgGroups->setRow(r + 1);
        else
            fgGroups->setCurrent(RowGroupID, c < GroupCount ? c + 1 : 1);
        break;
    case Qt::Key_Left:
        if (m_checking)
            return true;
        if (r > RowGroupID)
            fgGroups->setRow(r - 1);
        else
            fgGroups->setCurrent(RowPagerID20, c > 1 ? c - 1 : GroupCount);
        break;
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (m_checking)
            return true;
        // Up and Down stay in the column and click twice: on a switch row that toggles twice.
        if (keyCode == Qt::Key_Down)
            fgGroups->setRow(r < RowPagerID20 ? r + 1 : RowGroupID);
        else
            fgGroups->setRow(r > RowGroupID ? r - 1 : RowPagerID20);
        fgGroups->setCol(c);
        fgGroups_Click();
        fgGroups->setCol(c);
        break;
    default:
        return false;
    }
    fgGroups_Click();
    return true;
}

// ---- Grid click ------------------------------------------------------------------------------

void frmCfgGroup::fgGroups_Click() {
    SharedState& s = shared();
    if (s.FormLoading || m_checking)
        return;
    s.FormLoading = true;
    cmbMsg->hide();
    txtGrp->hide();
    const int row = fgGroups->row();
    const int g = groupOfColumn();
    if (g >= 0) {
        if (row == RowReference || (row >= RowGroupID && row <= RowPagerID20)) {
            if (row == RowReference)
                s.GroupsChanged = true;
            placeTextEditor(row, g + 1);
        } else if (row == RowActive) {
            activeToggle(g);
        } else if (isSwitchRow(row)) {
            switchToggle(g, row);
        } else if (triggerOfRow(row) >= 0) {
            messageList(g, row);
        }
    }
    fgGroups->setRow(row);
    s.FormLoading = false;
}

void frmCfgGroup::placeTextEditor(int row, int col) {
    fgGroups->scrollToCell(row, col);
    fgGroups->placeEditor(txtGrp, row, col);
    const QString cell = fgGroups->text(row, col);
    txtGrp->setText(cell); // no length limit on the box: a longer stored text stays whole
    m_typed = cell.toLatin1();
    txtGrp->show();
    txtGrp->setCursorPosition(int(cell.size()));
    txtGrp->setFocus();
}

void frmCfgGroup::activeToggle(int g) {
    shared().GroupsChanged = true;
    m_edited = true;
    NoticeEdit();
    const int c = g + 1;
    PagerGroup& grp = group(g);
    if (grp[Grp::Active] == "1") {
        paint(c, RowActive, RowActive, EditorColour::Off);
        fgGroups->setText(RowActive, c, QStringLiteral("OFF"));
        grp[Grp::Active] = "0";
        if (!grp[Grp::Defined].isEmpty()) {
            paint(c, RowReference, RowReference, EditorColour::LightGrey);
            paint(c, RowGroupID, LastRow, EditorColour::LightGrey);
        } else {
            paint(c, RowReference, RowReference, EditorColour::DarkGrey);
            paint(c, RowGroupID, LastRow, EditorColour::DarkGrey);
            clearTexts(c, RowGroupID, LastRow);
        }
    } else {
        activate(g, false);
    }
    fgGroups->setCol(0);
}

void frmCfgGroup::switchToggle(int g, int row) {
    shared().GroupsChanged = true;
    NoticeEdit();
    const int c = g + 1;
    PagerGroup& grp = group(g);
    QByteArray& on = grp[Triggers[triggerOfRow(row)].active];
    const bool active = grp[Grp::Active] == "1";
    if (on == "1") {
        if (active)
            paint(c, row, row, EditorColour::Off);
        on = "0";
        fgGroups->setText(row, c, QStringLiteral("OFF"));
        if (active)
            paint(c, row + 1, row + 1, EditorColour::Ivory);
    } else {
        if (row == switchRow(2) &&
            Dialogs::message(QStringLiteral("Timer Function Causes Automatic Paging Every 2 Minutes\r"
                                            "Unless Host System Periodically Issues Timer Reset Command\r"
                                            "Are You Sure You Want to Enable Timer Mode?"),
                             Buttons::YesNo, Icon::Question,
                             QStringLiteral("Periodic Paging Warning")) != Answer::Yes) {
            fgGroups->setCol(0);
            return;
        }
        if (active)
            paint(c, row, row, EditorColour::On);
        on = "1";
        fgGroups->setText(row, c, QStringLiteral("ON"));
        if (active) {
            if (fgGroups->text(row + 1, c) == QLatin1String("None"))
                paint(c, row + 1, row + 1, EditorColour::Missing);
            else if (grp[Grp::Defined] == "YES")
                paint(c, row + 1, row + 1, EditorColour::Ivory);
        }
    }
    m_edited = true;
    fgGroups->setCol(0);
}

void frmCfgGroup::messageList(int g, int row) {
    SharedState& s = shared();
    s.GroupsChanged = true;
    NoticeEdit();
    const int c = g + 1;
    fgGroups->scrollToCell(row, c);
    fgGroups->placeEditor(cmbMsg, row, c, twipsToPixels(300));
    cmbMsg->show();
    const QString cell = fgGroups->text(row, c);
    if (cell != QLatin1String("None")) {
        cmbMsg->setCurrentIndex(
            cmbMsg->findText(cell == QLatin1String("00") ? QStringLiteral("None") : cell));
        const auto n = parseDigits(cell.toLatin1());
        if (n && *n >= 1 && *n <= MessageCount)
            lblMsg->setText(QStringLiteral("Message: ") + text(s.Db.Messages[*n - 1]));
    } else {
        // The list opens on "None": that choice is made at once.
        cmbMsg->setCurrentIndex(-1);
        s.FormLoading = false;
        cmbMsg->setCurrentIndex(0);
        cmbMsg_Click();
    }
    cmbMsg->setFocus();
}

// ---- Editors ---------------------------------------------------------------------------------

void frmCfgGroup::txtGrp_Change() {
    SharedState& s = shared();
    const int g = groupOfColumn();
    if (s.FormLoading || m_checking || g < 0)
        return;
    const TypedText typed = limitTypedLength(txtGrp->text().toLatin1(), txtGrp->cursorPosition(),
                                             int(m_typed.size()), TypedLength);
    if (text(typed.text) != txtGrp->text()) {
        txtGrp->setText(text(typed.text));
        txtGrp->setCursorPosition(typed.caret);
    }
    if (typed.text == m_typed)
        return;
    m_typed = typed.text;
    s.GroupsChanged = true;
    m_edited = true;

    const int row = fgGroups->row();
    const int c = g + 1;
    PagerGroup& grp = group(g);
    const bool activated = grp[Grp::Active].isEmpty() || grp[Grp::Active] == "0";
    if (activated)
        activate(g, false);

    if (row == RowReference) {
        grp[Grp::Reference] = typed.text;
        fgGroups->setText(row, c, text(typed.text));
    } else if (row == RowGroupID || isPagerIdRow(row)) {
        storeId(g, row, typed.text, activated);
    }
    NoticeEdit();
    fgGroups->setRow(row);
}

void frmCfgGroup::storeId(int g, int row, const QByteArray& typed, bool activated) {
    const int c = g + 1;
    PagerGroup& grp = group(g);
    const int field = row == RowGroupID ? int(Grp::GroupID) : Grp::PagerID1 + row - RowPagerID1;
    const bool valid = typedId(typed).has_value();
    grp[field] = valid ? typed : QByteArray("0000");
    fgGroups->setText(row, c, valid ? text(typed) : QString());
    const auto paintMembers = [&](const QColor& colour) {
        paint(c, RowReference, RowReference, colour);
        paintValues(c, colour);
    };
    if (row == RowGroupID) {
        if (activated)
            paint(c, row, row, valid ? EditorColour::Ivory : EditorColour::Missing);
        return;
    }
    if (valid) {
        if (isSetId(grp[Grp::GroupID])) {
            grp[Grp::Defined] = "YES";
            if (activated)
                paintMembers(EditorColour::Ivory);
        } else if (activated) {
            paint(c, RowPagerID1, RowPagerID20, EditorColour::Ivory);
        }
    } else if (!anyPagerIdSet(grp)) {
        grp[Grp::Defined].clear();
        if (activated)
            paintMembers(EditorColour::Missing);
    } else if (activated) {
        paint(c, RowGroupID, RowPagerID20, EditorColour::Ivory);
    }
}

void frmCfgGroup::cmbMsg_Click() {
    SharedState& s = shared();
    const int g = groupOfColumn();
    const int row = fgGroups->row();
    if (s.FormLoading || m_checking || g < 0 || triggerOfRow(row) < 0 || isSwitchRow(row) ||
        cmbMsg->currentIndex() < 0)
        return;
    s.GroupsChanged = true;
    m_edited = true;
    const int c = g + 1;
    PagerGroup& grp = group(g);
    const QString chosen = cmbMsg->currentText();
    const bool none = cmbMsg->currentIndex() == 0;
    const bool anyTriggerOn =
        grp[Grp::CCActive] == "1" || grp[Grp::COActive] == "1" || grp[Grp::TimerActive] == "1";

    if (grp[Grp::Active] == "0") {
        activate(g, true);
    } else if (!none && anyTriggerOn && anyPagerIdSet(grp)) {
        grp[Grp::Defined] = "YES";
        paintValues(c, EditorColour::Ivory);
    }
    fgGroups->setRow(row);
    fgGroups->setText(row, c, chosen);
    lblMsg->setText(none ? QStringLiteral("Message:")
                         : QStringLiteral("Message: ") + text(s.Db.Messages[cmbMsg->currentIndex() - 1]));
    grp[Triggers[triggerOfRow(row)].message] = none ? QByteArray("00") : chosen.toLatin1();
    NoticeEdit();
}

// ---- OK, the pass and the check --------------------------------------------------------------

void frmCfgGroup::cmdOK_Click() {
    SharedState& s = shared();
    if (m_checking)
        return;
    txtGrp->hide();
    cmbMsg->hide();
    runPass();
    if (s.GroupsChanged) {
        s.DatabaseChecked = runCheck();
        // Every way out of here consumes the adjusted flag, also a close during the check.
        const bool adjusted = std::exchange(s.GroupsAdjusted, false);
        if (m_deleteAfterCheck) {
            // The program closed during the check.
            Form_Unload();
            hide();
            QTimer::singleShot(0, this, [this] { delete this; });
            return;
        }
        if (m_closeRequested) {
            m_closeRequested = false;
            m_abort = false;
            m_passDone = true;
            close();
            return;
        }
        m_abort = false;
        if (adjusted)
            return;
    }
    m_passDone = true;
    close();
}

void frmCfgGroup::runPass() {
    const PassResult result = GroupsCompletenessPass(shared().Db.Groups);
    shared().GroupsIncomplete = result.incomplete;
    for (const PassChange& change : result.changes) {
        const int c = change.group + 1;
        for (const int t : change.triggersOff) {
            fgGroups->setText(switchRow(t), c, QStringLiteral("OFF"));
            if (group(change.group)[Grp::Active] == "1")
                paint(c, switchRow(t), switchRow(t), EditorColour::Off);
        }
    }
    if (result.changed)
        NoticeEdit();
}

bool frmCfgGroup::runCheck() {
    SharedState& s = shared();
    m_checking = true;
    setBusy(true);
    s.CancelRequested = false;
    frmCancelSend::setLabel(QStringLiteral("Checking Groups Database"));
    frmCancelSend::showBox();

    // Window events run at the first poll and then every few milliseconds, so Cancel and the
    // close box are answered at once without a yield per family slowing the check down.
    QElapsedTimer sinceYield;
    GroupsCheckHooks hooks;
    hooks.cancelled = [&] {
        if (!sinceYield.isValid() || sinceYield.elapsed() >= 5) {
            QApplication::processEvents();
            sinceYield.start();
        }
        return s.CancelRequested || m_abort;
    };
    hooks.visit = [this](int g, int field) {
        fgGroups->setCol(g + 1);
        if (field >= 0)
            fgGroups->setRow(pagerIdRow(field));
    };
    hooks.reset = [this, &s](int g, int field) {
        const int row = pagerIdRow(field);
        paint(g + 1, row, row, EditorColour::Adjusted);
        fgGroups->setText(row, g + 1, QString());
        s.GroupsAdjusted = true;
        NoticeEdit();
    };
    const bool done = CheckGroupsDatabase(s.Db.Groups, s.Db.Families, hooks);
    m_checking = false;

    if (done)
        fgGroups->setCurrent(0, 0);
    frmCancelSend::unload();
    setBusy(false);
    if (!done)
        return false;
    s.GroupsChanged = false;
    if (s.GroupsAdjusted)
        Dialogs::message(QStringLiteral("One or More Pager ID Fields Were Adjusted\r"
                                        "to Correct Non-Existent Pager IDs\r"
                                        "as Indicated by Blue Fields"),
                         Buttons::Ok, Icon::Exclamation, QStringLiteral("Non-Existent Pager IDs"));
    return true;
}

// ---- Closing ---------------------------------------------------------------------------------

bool frmCfgGroup::askIncomplete() {
    SharedState& s = shared();
    if (!s.GroupsIncomplete)
        return true;
    s.GroupsIncomplete = false;
    return Dialogs::message(QStringLiteral("Pager Group Definition is Incomplete\r"
                                           "As Shown by Magenta Fields\r"
                                           "Are You Sure You Want to Exit?"),
                            Buttons::YesNo, Icon::Question,
                            QStringLiteral("Incomplete Database Definition")) == Answer::Yes;
}

// Closing without OK after an edit runs the pass first: the unload erases what it leaves
// undefined. A window closed untouched asks nothing.
bool frmCfgGroup::queryUnload() {
    if (m_checking) {
        if (!askIncomplete())
            return false;
        m_abort = true;
        return true;
    }
    if (!m_passDone && m_edited)
        runPass();
    m_passDone = false;
    return askIncomplete();
}

void frmCfgGroup::closeEvent(QCloseEvent* event) {
    if (m_checking) {
        // The check stops at its next poll; OK then closes the window.
        m_abort = true;
        m_closeRequested = true;
        event->ignore();
        return;
    }
    if (!queryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

bool frmCfgGroup::event(QEvent* e) {
    // The main window's unload deletes its editors later; the check must unwind first.
    if (e->type() == QEvent::DeferredDelete && m_checking) {
        m_abort = true;
        m_deleteAfterCheck = true;
        return true;
    }
    return QWidget::event(e);
}

} // namespace qpes

#include "editors/families/frmCfgFam.h"

#include "editors/EditorColours.h"
#include "editors/EditorGrid.h"
#include "link/Link.h"
#include "link/frmCancelSend.h"
#include "model/Families.h"
#include "model/PagerDatabase.h"
#include "model/Text.h"
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
#include <QPushButton>
#include <QValidator>

namespace qpes {

namespace C = EditorColour;

// The typing limit of the text editor. Unlike a line edit's maximum length it never cuts a
// longer text that the program puts in: such a text is shown whole and cannot grow.
class LengthLimit : public QValidator {
public:
    using QValidator::QValidator;
    void set(int limit, int shown) { m_max = std::max(limit, shown); }
    State validate(QString& input, int&) const override {
        return input.size() > m_max ? Invalid : Acceptable;
    }

private:
    int m_max = 0;
};

namespace {

constexpr int Rows = FamilyCount + 1;

void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

QComboBox* comboBox(const char* name, const QStringList& items) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

QString text(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

PagerFamily& family(int r) {
    return shared().Db.Families[r - 1];
}

int previousRow(int r) {
    return r <= 1 ? FamilyCount : r - 1;
}

int nextRow(int r) {
    return r >= FamilyCount ? 1 : r + 1;
}

} // namespace

frmCfgFam* frmCfgFam::loaded() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<frmCfgFam*>(w))
            return f;
    return nullptr;
}

frmCfgFam* frmCfgFam::open() {
    if (frmCfgFam* f = loaded()) {
        f->raise();
        f->activateWindow();
        return f;
    }
    auto* f = new frmCfgFam;
    f->Form_Load();
    return f;
}

frmCfgFam::frmCfgFam() {
    setObjectName(QStringLiteral("frmCfgFam"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(" Pager Families Setup"));
    resize(twipsToPixels(9960), twipsToPixels(7725));

    fgFamilies = new EditorGrid(Rows, FamCol::Count, this);
    fgFamilies->setObjectName(QStringLiteral("fgFamilies"));
    place(fgFamilies, 120, 120, 9735, 6615);
    fgFamilies->setUnpaintedColour(C::DarkGrey);
    QFont small = fgFamilies->font(); // every column fits the grid's width
    small.setPointSize(8);
    fgFamilies->setFont(small);
    fgFamilies->horizontalHeader()->setFont(small);
    fgFamilies->verticalHeader()->setFont(small);
    lblPrefix = new QLabel(QStringLiteral("Prefix:"), this);
    lblPrefix->setObjectName(QStringLiteral("lblPrefix"));
    place(lblPrefix, 120, 6730, 9615, 255);
    lblSuffix = new QLabel(QStringLiteral("Suffix:"), this);
    lblSuffix->setObjectName(QStringLiteral("lblSuffix"));
    place(lblSuffix, 120, 6970, 9615, 255);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    place(cmdOK, 4560, 7200, 855, 375);

    txtFam = new QLineEdit;
    txtFam->setObjectName(QStringLiteral("txtFam"));
    m_limit = new LengthLimit(txtFam);
    txtFam->setValidator(m_limit);
    cmbPgrType = comboBox("cmbPgrType", {QStringLiteral("Alpha"), QStringLiteral("Numeric")});
    cmbFunc = comboBox("cmbFunc",
                       {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    cmbRate = comboBox("cmbRate", {QStringLiteral("512"), QStringLiteral("1200"), QStringLiteral("2400")});
    cmbMsg = comboBox("cmbMsg", {QStringLiteral("None")});
    for (int n = 1; n <= MessageCount; ++n)
        cmbMsg->addItem(QString::number(n));
    for (QWidget* e :
         {static_cast<QWidget*>(txtFam), static_cast<QWidget*>(cmbPgrType), static_cast<QWidget*>(cmbFunc),
          static_cast<QWidget*>(cmbRate), static_cast<QWidget*>(cmbMsg)})
        fgFamilies->addEditor(e);

    // Column headers, each column as wide as its header; "^" columns are centred.
    const QStringList headers = QStringLiteral("^     |^Active|<Pager Qty|<Start ID|<End ID |<Start Capcode "
                                               "|<End Capcode|<Pager Type|<Func Code|<Data Rate|<Prefix Msg|"
                                               "<Suffix Msg")
                                    .split(QLatin1Char('|'));
    for (int c = 0; c < FamCol::Count; ++c) {
        const QString h = headers[c].mid(1);
        const Qt::Alignment align =
            headers[c].startsWith(QLatin1Char('^')) ? Qt::AlignHCenter : Qt::AlignLeft;
        fgFamilies->setText(0, c, h);
        fgFamilies->fitColumn(c, h);
        fgFamilies->setColumnAlignment(c, align);
    }
    // Where the desktop's font is wider than the grid, the window grows so every column shows.
    resize(width() + fgFamilies->growToContent(), height());

    fgFamilies->setKeyHandler([this](QKeyEvent* e) { return Form_KeyDown(e->key()); });
    fgFamilies->watchKeys(cmdOK);
    connect(fgFamilies, &EditorGrid::cellClick, this, [this] {
        if (!m_checking)
            fgFamilies_Click();
    });
    connect(fgFamilies, &EditorGrid::userScrolled, this, &frmCfgFam::fgFamilies_Scroll);
    connect(cmdOK, &QPushButton::clicked, this, &frmCfgFam::cmdOK_Click);
    connect(txtFam, &QLineEdit::textChanged, this, &frmCfgFam::txtFam_Change);
    // A choice counts also when it is the item already shown.
    connect(cmbPgrType, &QComboBox::activated, this, &frmCfgFam::cmbPgrType_Click);
    connect(cmbFunc, &QComboBox::activated, this, &frmCfgFam::cmbFunc_Click);
    connect(cmbRate, &QComboBox::activated, this, &frmCfgFam::cmbRate_Click);
    connect(cmbMsg, &QComboBox::activated, this, &frmCfgFam::cmbMsg_Click);
    followDatabase(this, [this](int) { refill(); });
}

// ---- Load ------------------------------------------------------------------------------------

void frmCfgFam::Form_Load() {
    SharedState& s = shared();
    if (TerminalControls* t = terminal())
        t->link().Timer1.stop();
    s.FormLoading = true;
    centreOnScreen(this);
    for (int r = 1; r <= FamilyCount; ++r)
        fgFamilies->setText(r, 0, QStringLiteral(" %1").arg(r));
    fgFamilies->setCol(0);
    for (int r = 1; r <= FamilyCount; ++r)
        fillRow(r);
    show();
    fgFamilies->setFocus();
    fgFamilies->setCurrent(1, FamCol::PagerQty);
    fgFamilies_Click();
    s.FormLoading = false;
}

// The database was replaced under the open window: the grid shows the new families as a load
// shows them, with no editor out, and the window stays where it is.
void frmCfgFam::refill() {
    fgFamilies->hideEditors();
    fgFamilies->clearCells();
    for (int r = 1; r <= FamilyCount; ++r)
        fillRow(r);
    fgFamilies->setCurrent(1, FamCol::PagerQty);
    fgFamilies->scrollToCell(1, FamCol::PagerQty);
    refreshLabels(false);
}

void frmCfgFam::fillRow(int r) {
    PagerFamily& f = family(r);
    const bool on = f[Fam::Active] == "1";
    setCell(r, FamCol::Active, on ? "ON" : "OFF", on ? C::On : C::Off);
    if (on)
        fgFamilies->paintRow(r, FamCol::PagerQty, FamCol::Suffix, C::Ivory);
    else if (f[Fam::Defined] == "YES")
        fgFamilies->paintRow(r, FamCol::PagerQty, FamCol::Suffix, C::LightGrey);
    if (f[Fam::PagerQty] == "000")
        return;
    setCell(r, FamCol::PagerQty, qtyCellText(f[Fam::PagerQty]));
    setCell(r, FamCol::StartID, startIdCellText(f[Fam::StartID]));
    // A capcode that is no number cannot be sent; it starts again from the lowest one.
    const auto cap = toInt32(f[Fam::StartCap]);
    if (!cap)
        f[Fam::StartCap] = "0000008";
    setCell(r, FamCol::StartCap, startCapCellText(f[Fam::StartCap]));
    showDerived(r, f[Fam::StartID] != "0000", !cap || *cap > 0);
    setCell(r, FamCol::PgrType, pgrTypeCellText(f[Fam::PgrType]));
    setCell(r, FamCol::Func, funcCellText(f[Fam::Func]));
    setCell(r, FamCol::Rate, rateCellText(f[Fam::Rate]));
    setCell(r, FamCol::Prefix, msgCellText(f[Fam::Prefix]));
    setCell(r, FamCol::Suffix, msgCellText(f[Fam::Suffix]));
}

// ---- Cells -----------------------------------------------------------------------------------

void frmCfgFam::setCell(int r, int c, const QByteArray& bytes) {
    fgFamilies->setText(r, c, text(bytes));
}

void frmCfgFam::setCell(int r, int c, const QByteArray& bytes, const QColor& colour) {
    fgFamilies->setText(r, c, text(bytes));
    fgFamilies->setBackground(r, c, colour);
}

// Writes the End ID and End Capcode cells from the table, in dark grey.
void frmCfgFam::showDerived(int r, bool endId, bool endCap) {
    const PagerFamily& f = family(r);
    if (endId) {
        setCell(r, FamCol::EndID, endIdText(f[Fam::StartID], f[Fam::PagerQty]));
        fgFamilies->setForeground(r, FamCol::EndID, C::DarkGrey);
    }
    if (endCap) {
        setCell(r, FamCol::EndCap, endCapText(f[Fam::StartCap], f[Fam::PagerQty]));
        fgFamilies->setForeground(r, FamCol::EndCap, C::DarkGrey);
    }
}

bool frmCfgFam::editsBlocked() const {
    return shared().FormLoading || m_checking || fgFamilies->row() < 1 || fgFamilies->row() >= Rows;
}

// ---- Cell click ------------------------------------------------------------------------------

void frmCfgFam::fgFamilies_Click() {
    SharedState& s = shared();
    s.FormLoading = true;
    fgFamilies->hideEditors();
    const int r = fgFamilies->row();
    const int c = fgFamilies->col();
    if (r >= 1 && r < Rows) {
        switch (c) {
        case FamCol::Active:
            if (family(r)[Fam::Active] == "1")
                switchOff(r);
            else
                switchOn(r);
            break;
        case FamCol::PagerQty:
        case FamCol::StartID:
        case FamCol::StartCap:
            placeText(c);
            break;
        case FamCol::EndID:
        case FamCol::EndCap:
            fgFamilies->setCol(0);
            break;
        case FamCol::PgrType:
            placeCombo(cmbPgrType, fgFamilies->text(r, c) == QLatin1String("Alpha")
                                       ? QStringLiteral("Alpha")
                                       : QStringLiteral("Numeric"));
            break;
        case FamCol::Func:
            placeCombo(cmbFunc, fgFamilies->text(r, c));
            break;
        case FamCol::Rate: {
            const QString shown = fgFamilies->text(r, c);
            placeCombo(cmbRate, shown == QLatin1String("512") || shown == QLatin1String("1200")
                                    ? shown
                                    : QStringLiteral("2400"));
            break;
        }
        case FamCol::Prefix:
        case FamCol::Suffix:
            placeCombo(cmbMsg, fgFamilies->text(r, c));
            break;
        default:
            break;
        }
        refreshLabels(false);
    }
    s.FormLoading = false;
}

void frmCfgFam::placeText(int c) {
    const int r = fgFamilies->row();
    fgFamilies->placeEditor(txtFam, r, c);
    const QString shown = fgFamilies->text(r, c);
    m_limit->set(c == FamCol::PagerQty ? 3 : c == FamCol::StartID ? 4 : 7, int(shown.size()));
    txtFam->setText(shown);
    txtFam->show();
    txtFam->setCursorPosition(int(shown.size()));
    txtFam->setFocus();
}

void frmCfgFam::placeCombo(QComboBox* box, const QString& item) {
    SharedState& s = shared();
    s.FamiliesChanged = true;
    const int r = fgFamilies->row();
    const int c = fgFamilies->col();
    fgFamilies->placeEditor(box, r, c, twipsToPixels(300));
    box->show();
    if (!fgFamilies->text(r, c).isEmpty()) {
        const int index = box->findText(item);
        if (index >= 0)
            box->setCurrentIndex(index);
    } else {
        // An empty cell takes the first item as the user's own choice.
        box->setCurrentIndex(-1);
        s.FormLoading = false;
        box->setCurrentIndex(0);
        comboClick(box);
    }
    box->setFocus();
}

void frmCfgFam::comboClick(QComboBox* box) {
    if (box == cmbPgrType)
        cmbPgrType_Click();
    else if (box == cmbFunc)
        cmbFunc_Click();
    else if (box == cmbRate)
        cmbRate_Click();
    else
        cmbMsg_Click();
}

void frmCfgFam::refreshLabels(bool shorten) {
    const PagerFamily& f = family(fgFamilies->row());
    const MessageTable& messages = shared().Db.Messages;
    lblPrefix->setText(text(messageLabel("Prefix:", f[Fam::Prefix], messages, shorten)));
    lblSuffix->setText(text(messageLabel("Suffix:", f[Fam::Suffix], messages, shorten)));
}

// ---- Active toggle ---------------------------------------------------------------------------

void frmCfgFam::switchOff(int r) {
    NoticeEdit();
    shared().FamiliesChanged = true;
    PagerFamily& f = family(r);
    setCell(r, FamCol::Active, "OFF", C::Off);
    f[Fam::Active] = "0";
    const bool defined = f[Fam::Defined] == "YES";
    fgFamilies->paintRow(r, FamCol::PagerQty, FamCol::Suffix, defined ? C::LightGrey : C::DarkGrey);
    if (!defined)
        for (int c = FamCol::PagerQty; c <= FamCol::Suffix; ++c)
            fgFamilies->setText(r, c, QString());
    fgFamilies->setCol(0);
}

void frmCfgFam::switchOn(int r) {
    NoticeEdit();
    shared().FamiliesChanged = true;
    setCell(r, FamCol::Active, "ON", C::On);
    family(r)[Fam::Active] = "1";
    paintActiveRow(r);
    fgFamilies->setCol(0);
}

// Columns 2 to 11 of a family that is on, from the table: missing values in magenta, and the
// codes the encoder needs where none is set.
void frmCfgFam::paintActiveRow(int r) {
    PagerFamily& f = family(r);
    auto valueCell = [&](int c, bool set, const QByteArray& shown) {
        if (set)
            setCell(r, c, shown, C::Ivory);
        else
            fgFamilies->setBackground(r, c, C::Missing);
    };
    const bool qtySet = f[Fam::PagerQty] != "000" && !f[Fam::PagerQty].isEmpty();
    valueCell(FamCol::PagerQty, qtySet, qtyCellText(f[Fam::PagerQty]));
    valueCell(FamCol::StartID, f[Fam::StartID] != "0000" && !f[Fam::StartID].isEmpty(), f[Fam::StartID]);
    for (int c : {int(FamCol::EndID), int(FamCol::EndCap)}) {
        fgFamilies->setBackground(r, c, C::Ivory);
        fgFamilies->setForeground(r, c, C::DarkGrey);
    }
    valueCell(FamCol::StartCap, f[Fam::StartCap] != "0000000", f[Fam::StartCap]);
    if (qtySet)
        showDerived(r, f[Fam::StartID] != "0000", f[Fam::StartCap] != "0000000");
    const QByteArray& type = f[Fam::PgrType];
    valueCell(FamCol::PgrType, type == "A" || type == "N", pgrTypeCellText(type));
    if (f[Fam::Func].isEmpty())
        f[Fam::Func] = "3";
    const QByteArray func = funcCellText(f[Fam::Func]);
    setCell(r, FamCol::Func, func.isEmpty() ? "4" : func, C::Ivory);
    const QByteArray rate = rateCellText(f[Fam::Rate]);
    valueCell(FamCol::Rate, !f[Fam::Rate].isEmpty(), rate.isEmpty() ? "2400" : rate);
    for (int field : {int(Fam::Prefix), int(Fam::Suffix)}) {
        if (f[field].isEmpty())
            f[field] = "00";
        setCell(r, field == Fam::Prefix ? FamCol::Prefix : FamCol::Suffix, msgCellText(f[field]), C::Ivory);
    }
}

// ---- Scrolling and keys ----------------------------------------------------------------------

// The grid has hidden the editors; with column 0 current, Tab goes on to the next family.
void frmCfgFam::fgFamilies_Scroll() {
    fgFamilies->setCol(0);
}

void frmCfgFam::goTo(int row, int col) {
    const bool rowChanges = row != fgFamilies->row();
    fgFamilies->scrollToCell(row, std::max(col, 1));
    fgFamilies->setCurrent(row, col);
    fgFamilies_Click();
    if (rowChanges) {
        fgFamilies->setCol(col);
        fgFamilies_Click();
    }
}

bool frmCfgFam::Form_KeyDown(int key) {
    const int r = fgFamilies->row();
    const int c = fgFamilies->col();
    switch (key) {
    case Qt::Key_F1:
        openHelpFile();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Right:
        if (m_checking)
            return true;
        if (c == FamCol::Active)
            goTo(r, FamCol::PagerQty);
        else if (c == FamCol::PagerQty)
            goTo(r, FamCol::StartID);
        else if (c == FamCol::StartID)
            goTo(r, FamCol::StartCap);
        else if (c == FamCol::StartCap || c == 0)
            goTo(nextRow(r), FamCol::PagerQty);
        return true;
    case Qt::Key_Left:
        if (m_checking)
            return true;
        if (c == FamCol::PagerQty)
            goTo(previousRow(r), FamCol::StartCap);
        else if (c == FamCol::StartID)
            goTo(r, FamCol::PagerQty);
        else if (c == FamCol::StartCap)
            goTo(r, FamCol::StartID);
        return true;
    case Qt::Key_Down:
        if (!m_checking)
            goTo(nextRow(r), c);
        return true;
    case Qt::Key_Up:
        if (!m_checking)
            goTo(previousRow(r), c);
        return true;
    default:
        return false;
    }
}

// ---- Editing ---------------------------------------------------------------------------------

// The text editor's record: a family never set up (or erased) starts afresh; one the user
// switched off is switched on again with what it holds.
bool frmCfgFam::createTextRecord(int r) {
    PagerFamily& f = family(r);
    if (!f[Fam::Active].isEmpty() && f[Fam::Active] != "0")
        return false;
    if (f[Fam::Active] == "0" && f[Fam::Defined] == "YES") {
        startTextRecord(f, true);
        setCell(r, FamCol::Active, "ON", C::On);
        paintActiveRow(r);
        return true;
    }
    startTextRecord(f, false);
    setCell(r, FamCol::Active, "ON", C::On);
    fgFamilies->paintRow(r, FamCol::PagerQty, FamCol::Suffix, C::Ivory);
    setCell(r, FamCol::PagerQty, "1");
    fgFamilies->setBackground(r, FamCol::StartID, C::Missing);
    fgFamilies->setBackground(r, FamCol::StartCap, C::Missing);
    setCell(r, FamCol::PgrType, "Alpha");
    setCell(r, FamCol::Func, "4", C::Ivory);
    setCell(r, FamCol::Rate, "512");
    setCell(r, FamCol::Prefix, "None");
    setCell(r, FamCol::Suffix, "None");
    return true;
}

bool frmCfgFam::createComboRecord(int r) {
    PagerFamily& f = family(r);
    if (!f[Fam::Active].isEmpty())
        return false;
    startComboRecord(f);
    setCell(r, FamCol::Active, "ON", C::On);
    fgFamilies->paintRow(r, FamCol::PagerQty, FamCol::Rate, C::Missing);
    setCell(r, FamCol::PagerQty, "1");
    for (int c : {int(FamCol::EndID), int(FamCol::EndCap)}) {
        fgFamilies->setBackground(r, c, C::Ivory);
        fgFamilies->setForeground(r, c, C::DarkGrey);
    }
    setCell(r, FamCol::Func, "4", C::Ivory);
    setCell(r, FamCol::Prefix, "None", C::Ivory);
    setCell(r, FamCol::Suffix, "None", C::Ivory);
    return true;
}

void frmCfgFam::txtFam_Change() {
    SharedState& s = shared();
    if (editsBlocked())
        return;
    s.FamiliesChanged = true;
    const int r = fgFamilies->row();
    const int c = fgFamilies->col();
    if (c != FamCol::PagerQty && c != FamCol::StartID && c != FamCol::StartCap)
        return;
    const bool created = createTextRecord(r);
    PagerFamily& f = family(r);
    const QByteArray typed = txtFam->text().toLatin1();
    const TypedNumber n = readTypedNumber(c, typed);
    const int field = familyField(c);
    const bool qty = c == FamCol::PagerQty;
    const bool cap = c == FamCol::StartCap;

    if (n.kind == TypedNumber::Empty) {
        setCell(r, c, {}, C::Missing);
        f[field] = n.stored;
        if (!cap)
            setCell(r, FamCol::EndID, {});
        if (c != FamCol::StartID)
            setCell(r, FamCol::EndCap, {});
        NoticeEdit();
        return;
    }
    fgFamilies->setBackground(r, c, f[Fam::Active] == "1" ? C::Ivory : C::LightGrey);
    if (n.kind == TypedNumber::Comma) {
        s.FormLoading = true;
        const char* what = qty                    ? "Entry Should be Numeric Value Between 1 and 999"
                           : c == FamCol::StartID ? "Entry Should be Numeric Value Between 1 and 8999"
                                                  : "Entry Should be Numeric Value Greater Than 7";
        Dialogs::message(QString::fromLatin1(what), Buttons::Ok, Icon::None, QStringLiteral("Invalid Entry"));
        txtFam->setText(cap ? QStringLiteral("8") : QStringLiteral("1"));
        s.FormLoading = false;
        if (created)
            NoticeEdit();
        return;
    }
    if (!n.acceptable) {
        fgFamilies->setBackground(r, c, C::Missing);
        if (n.kind == TypedNumber::Rejected) {
            if (!cap)
                setCell(r, FamCol::EndID, {});
            if (qty || cap)
                setCell(r, FamCol::EndCap, {});
        }
    }
    setCell(r, c, typed == "0" ? QByteArray() : typed);
    if (n.kind == TypedNumber::Accepted) {
        f[field] = n.stored;
        if (qty) {
            showDerived(r, f[Fam::StartID] != "0000", f[Fam::StartCap] != "0000000");
        } else if (c == FamCol::StartID) {
            showDerived(r, f[Fam::PagerQty] != "000", false);
        } else {
            setCell(r, c, n.stored); // padded, "0000000" included
            showDerived(r, false, f[Fam::PagerQty] != "000");
        }
        fgFamilies->setCol(c);
    }
    NoticeEdit();
}

// What every combo does first: the record, the chosen text in the cell.
void frmCfgFam::comboChosen(QComboBox* box, int index) {
    const int r = fgFamilies->row();
    const int c = fgFamilies->col();
    setCell(r, c, box->itemText(index).toLatin1());
    if (family(r)[Fam::Active] == "1")
        fgFamilies->setBackground(r, c, C::Ivory);
}

void frmCfgFam::cmbPgrType_Click() {
    if (editsBlocked() || cmbPgrType->currentIndex() < 0)
        return;
    shared().FamiliesChanged = true;
    const int r = fgFamilies->row();
    createComboRecord(r);
    comboChosen(cmbPgrType, cmbPgrType->currentIndex());
    PagerFamily& f = family(r);
    const bool alpha = cmbPgrType->currentText() == QLatin1String("Alpha");
    f[Fam::PgrType] = alpha ? "A" : "N";
    f[Fam::Func] = alpha ? "3" : "0";
    setCell(r, FamCol::Func, alpha ? "4" : "1");
    NoticeEdit();
}

void frmCfgFam::cmbFunc_Click() {
    if (editsBlocked() || cmbFunc->currentIndex() < 0)
        return;
    shared().FamiliesChanged = true;
    const int r = fgFamilies->row();
    const bool created = createComboRecord(r);
    comboChosen(cmbFunc, cmbFunc->currentIndex());
    PagerFamily& f = family(r);
    const FuncChoice choice = chooseFuncCode(cmbFunc->currentText().toLatin1(), f[Fam::PgrType]);
    if (!choice.question.isEmpty() &&
        Dialogs::message(text(choice.question) +
                             QStringLiteral("\rAre You Sure You Want to Change This Function Code Value?"),
                         Buttons::YesNo, Icon::Question,
                         QStringLiteral("Non-Standard Function Code Warning")) != Answer::Yes) {
        setCell(r, FamCol::Func, funcCellText(f[Fam::Func]));
        if (created)
            NoticeEdit();
        return;
    }
    if (choice.store)
        f[Fam::Func] = *choice.store;
    NoticeEdit();
}

void frmCfgFam::cmbRate_Click() {
    if (editsBlocked() || cmbRate->currentIndex() < 0)
        return;
    shared().FamiliesChanged = true;
    const int r = fgFamilies->row();
    createComboRecord(r);
    comboChosen(cmbRate, cmbRate->currentIndex());
    const QString item = cmbRate->currentText();
    family(r)[Fam::Rate] = item == QLatin1String("512") ? "5" : item == QLatin1String("1200") ? "1" : "2";
    NoticeEdit();
}

void frmCfgFam::cmbMsg_Click() {
    if (editsBlocked() || cmbMsg->currentIndex() < 0)
        return;
    shared().FamiliesChanged = true;
    const int r = fgFamilies->row();
    createComboRecord(r);
    comboChosen(cmbMsg, cmbMsg->currentIndex());
    const QString item = cmbMsg->currentText();
    family(r)[fgFamilies->col() == FamCol::Prefix ? Fam::Prefix : Fam::Suffix] =
        item == QLatin1String("None") ? QByteArray("00") : item.toLatin1();
    refreshLabels(true);
    NoticeEdit();
}

// ---- OK and the families check ---------------------------------------------------------------

void frmCfgFam::cmdOK_Click() {
    if (m_checking)
        return;
    SharedState& s = shared();
    fgFamilies->hideEditors();
    fgFamilies->setCol(0);
    s.RecordIncomplete = false;
    for (int i : scanFamilies(s.Db.Families)) {
        fgFamilies->setRow(i + 1);
        setCell(i + 1, FamCol::Active, "OFF", C::Off);
    }
    if (s.FamiliesChanged) {
        s.DatabaseChecked = CheckFamiliesDatabase();
        const bool keepOpen = s.FamiliesAdjusted && !m_closeAfterCheck;
        s.FamiliesAdjusted = false;
        if (m_deleteAfterCheck) {
            deleteLater();
            return;
        }
        if (keepOpen)
            return;
    }
    close();
}

bool frmCfgFam::CheckFamiliesDatabase() {
    SharedState& s = shared();
    m_checking = true;
    m_closeAfterCheck = false;
    QElapsedTimer sinceYield;
    FamiliesCheckHooks hooks;
    hooks.sweepStart = [&] {
        setBusy(true);
        s.CancelRequested = false;
        frmCancelSend::setLabel(QStringLiteral("Checking Families Database"));
        frmCancelSend::showBox();
    };
    hooks.poll = [&] {
        // Yielding at every step would cost more than the check itself; a few milliseconds
        // apart keeps Cancel just as prompt.
        if (!sinceYield.isValid() || sinceYield.elapsed() >= 5) {
            QApplication::processEvents();
            sinceYield.start();
        }
        return s.CancelRequested || s.ExitConfirmed || m_closeAfterCheck || m_deleteAfterCheck;
    };
    hooks.row = [this](int i) { fgFamilies->setRow(i + 1); };
    hooks.changed = [this](int i, int field) { showAdjusted(i + 1, field); };
    const FamiliesCheckResult result = checkFamilies(s.Db.Families, hooks);
    if (result.adjusted)
        s.FamiliesAdjusted = true;
    frmCancelSend::unload();
    setBusy(false);
    m_checking = false;
    if (result.cancelled)
        return result.result;
    s.FamiliesChanged = false;
    if (s.FamiliesAdjusted)
        Dialogs::message(QStringLiteral("One or More Fields Were Adjusted\r"
                                        "to Correct Illegal Capcodes\r"
                                        "or to Correct Overlapping Pager IDs\r"
                                        "as Indicated by Blue Fields"),
                         Buttons::Ok, Icon::Exclamation,
                         QStringLiteral("Pager ID Overlap or Illegal Capcodes"));
    return result.result;
}

// A field the check rewrote: its cell in light cyan, the derived cells recomputed.
void frmCfgFam::showAdjusted(int r, int field) {
    const PagerFamily& f = family(r);
    const int c = field == Fam::StartCap  ? FamCol::StartCap
                  : field == Fam::StartID ? FamCol::StartID
                                          : FamCol::PagerQty;
    setCell(r, c, c == FamCol::PagerQty ? qtyCellText(f[field]) : f[field], C::Adjusted);
    showDerived(r, true, field != Fam::StartID);
    fgFamilies->setCol(0);
}

// ---- Closing ---------------------------------------------------------------------------------

bool frmCfgFam::Form_QueryUnload() {
    SharedState& s = shared();
    if (!s.RecordIncomplete)
        return true;
    s.RecordIncomplete = false;
    return Dialogs::message(QStringLiteral("Pager Families Definition is Incomplete\r"
                                           "As Shown by Magenta Fields.\r"
                                           "Incomplete Records Will be Erased.\r"
                                           "Are You Sure You Want to Exit?"),
                            Buttons::YesNo, Icon::Question,
                            QStringLiteral("Incomplete Database Definition")) == Answer::Yes;
}

void frmCfgFam::closeEvent(QCloseEvent* e) {
    if (m_checking) {
        // The running check ends as a cancel; the window closes once it has returned.
        m_closeAfterCheck = true;
        e->ignore();
        return;
    }
    if (Form_QueryUnload())
        e->accept();
    else
        e->ignore();
}

bool frmCfgFam::event(QEvent* e) {
    if (e->type() == QEvent::DeferredDelete && m_checking) {
        m_deleteAfterCheck = true;
        return true;
    }
    return QWidget::event(e);
}

} // namespace qpes

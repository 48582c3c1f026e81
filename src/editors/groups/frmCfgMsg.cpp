#include "editors/groups/frmCfgMsg.h"

#include "editors/EditorColours.h"
#include "editors/EditorGrid.h"
#include "editors/groups/EditorWindows.h"
#include "model/PagerDatabase.h"
#include "model/TypedText.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/TerminalControls.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace qpes {

namespace {
QPointer<frmCfgMsg> g_window;
constexpr int Rows = MessageCount + 1; // the heading row and the 15 messages
} // namespace

frmCfgMsg* frmCfgMsg::instance() {
    return g_window;
}

frmCfgMsg* frmCfgMsg::open() {
    if (!bringForward(g_window)) {
        g_window = new frmCfgMsg;
        g_window->Form_Load();
    }
    return g_window;
}

frmCfgMsg::frmCfgMsg() : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("frmCfgMsg"));
    setWindowTitle(QStringLiteral(" Predefined Messages Setup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twipsToPixels(9030), twipsToPixels(4845));
    QPalette grey = palette();
    grey.setColor(QPalette::Window, EditorColour::LightGrey);
    setPalette(grey);

    fgMessages = new EditorGrid(Rows, 2, this);
    fgMessages->setObjectName(QStringLiteral("fgMessages"));
    fgMessages->setGeometry(twipsToPixels(120), twipsToPixels(120), twipsToPixels(8775), twipsToPixels(3975));
    fgMessages->fitColumn(0, QStringLiteral(" 15 "));
    fgMessages->setText(0, 1, QStringLiteral("Message") + QString(169, QLatin1Char(' ')));
    fgMessages->setColumnAlignment(1, Qt::AlignLeft);
    fgMessages->horizontalHeader()->setStretchLastSection(true);

    txtMsg = new QLineEdit;
    txtMsg->setObjectName(QStringLiteral("txtMsg"));
    fgMessages->addEditor(txtMsg);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsToPixels(4080), twipsToPixels(4320), twipsToPixels(855), twipsToPixels(375));

    connect(fgMessages, &EditorGrid::cellClick, this, &frmCfgMsg::fgMessages_Click);
    connect(txtMsg, &QLineEdit::textEdited, this, &frmCfgMsg::txtMsg_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmCfgMsg::cmdOK_Click);
    fgMessages->setKeyHandler([this](QKeyEvent* e) { return Form_KeyDown(e->key()); });
    fgMessages->watchKeys(cmdOK);
    followDatabase(this, [this](int) { refill(); });
    followMainWindow(this, [this] { delete this; });
}

void frmCfgMsg::Form_Load() {
    SharedState& s = shared();
    beginLoad(this);
    for (int r = 1; r <= MessageCount; ++r)
        fgMessages->setText(r, 0, QStringLiteral(" %1").arg(r));
    fgMessages->setColumnAlignment(0, Qt::AlignHCenter);
    showMessages();
    fgMessages->setCurrent(1, 1);
    show();
    fgMessages->setFocus();
    fgMessages_Click();
    s.FormLoading = false;
}

void frmCfgMsg::showMessages() {
    for (int i = 0; i < MessageCount; ++i)
        showMessage(i + 1, shared().Db.Messages[i]);
}

// The database was replaced under the open window: the grid shows the new messages as a load
// shows them, with the text box put away, and the window stays where it is.
void frmCfgMsg::refill() {
    txtMsg->hide();
    showMessages();
    fgMessages->setCurrent(1, 1);
}

void frmCfgMsg::showMessage(int row, const QByteArray& message) {
    fgMessages->setText(row, 1, QString::fromLatin1(message));
    fgMessages->setBackground(row, 1, message.isEmpty() ? EditorColour::LightGrey : EditorColour::Ivory);
}

bool frmCfgMsg::Form_KeyDown(int keyCode) {
    const int r = fgMessages->row();
    switch (keyCode) {
    case Qt::Key_F1:
        openHelpFile();
        return true;
    case Qt::Key_Right:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        fgMessages->setCurrent(r < MessageCount ? r + 1 : 1, 1);
        fgMessages_Click();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Left:
        fgMessages->setCurrent(r > 1 ? r - 1 : MessageCount, 1);
        fgMessages_Click();
        return true;
    default:
        return false;
    }
}

void frmCfgMsg::fgMessages_Click() {
    SharedState& s = shared();
    s.FormLoading = true;
    txtMsg->hide();
    const int r = fgMessages->row();
    fgMessages->scrollToCell(r, 1);
    fgMessages->placeEditor(txtMsg, r, 1);
    const QString cell = fgMessages->text(r, 1);
    txtMsg->setText(cell); // no length limit on the box: a longer stored message stays whole
    m_typed = cell.toLatin1();
    txtMsg->show();
    txtMsg->setCursorPosition(int(cell.size()));
    txtMsg->setFocus();
    s.FormLoading = false;
}

void frmCfgMsg::txtMsg_Change() {
    SharedState& s = shared();
    const int r = fgMessages->row();
    if (s.FormLoading || r < 1 || r > MessageCount)
        return;
    const TypedText cleaned = cleanMessageText(txtMsg->text().toLatin1(), txtMsg->cursorPosition());
    const TypedText kept =
        limitTypedLength(cleaned.text, cleaned.caret, int(m_typed.size()), MessageMaxLength);
    if (QString::fromLatin1(kept.text) != txtMsg->text()) {
        txtMsg->setText(QString::fromLatin1(kept.text));
        txtMsg->setCursorPosition(kept.caret);
    }
    if (cleaned.hadQuote)
        Dialogs::message(QStringLiteral("Double Quote Characters (\") are Not Allowed"), Buttons::Ok,
                         Icon::None, QStringLiteral("Invalid Entry"));
    // A refused quote is still an edit of the message, even when the text is back as it was.
    if (kept.text == m_typed && !cleaned.hadQuote)
        return;
    m_typed = kept.text;
    s.Db.Messages[r - 1] = kept.text;
    showMessage(r, kept.text);
    NoticeEdit();
}

void frmCfgMsg::cmdOK_Click() {
    close();
}

void frmCfgMsg::closeEvent(QCloseEvent* event) {
    if (g_window == this)
        g_window = nullptr; // the next command loads a new window
    event->accept();
}

} // namespace qpes

#include "console/frmRangeTest.h"

#include "console/ConsoleWidgets.h"
#include "console/frmMessageTest.h"
#include "model/Text.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QValidator>

namespace qpes {

namespace {
QPointer<frmRangeTest> g_setup;

QLineEdit* lineEdit(const char* name, int maxLength, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(maxLength);
    return e;
}
} // namespace

// The base message's typing limit, which also keeps it on one line. Unlike a line edit's maximum
// length it never cuts the longer message the load copies in: that one is kept whole and can be
// shortened, not lengthened. What goes past the limit is dropped from the end of an insertion.
class TypingLimit : public QValidator {
public:
    TypingLimit(QLineEdit* box, qsizetype limit) : QValidator(box), m_limit(limit), m_allowed(limit) {
        connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { holds(text.size()); });
    }
    // Told before the program puts a text in, as the box checks it on the way.
    void holds(qsizetype length) { m_allowed = qMax(m_limit, length); }
    State validate(QString& input, int& pos) const override {
        lineEndsToBlanks(input);
        const qsizetype excess = input.size() - m_allowed;
        if (excess <= 0)
            return Acceptable;
        if (pos < excess)
            return Invalid;
        input.remove(pos - excess, excess);
        pos -= int(excess);
        return Acceptable;
    }

private:
    qsizetype m_limit;
    qsizetype m_allowed;
};

frmRangeTest* frmRangeTest::instance() {
    return g_setup;
}

void frmRangeTest::unload() {
    if (frmRangeTest* setup = g_setup) {
        g_setup = nullptr;
        setup->hide();
        setup->deleteLater();
    }
}

frmRangeTest::frmRangeTest(frmMessageTest* console) : QDialog(console), m_console(console) {
    unload();
    g_setup = this;
    setObjectName(QStringLiteral("frmRangeTest"));
    setWindowTitle(QStringLiteral("Range Test Setup"));

    const QString first = QStringLiteral("Range Test will transmit sequentially numbered paging messages.");
    const QString second =
        QStringLiteral("Please specify Base Message, Pager PIN, and Cycle Time, in seconds.");
    Label1 = makeLabel("Label1", first + QString(124, QLatin1Char(' ')) + second, this);
    Label1->setWordWrap(true);
    // The blanks end the first line; each sentence stands whole on a line of its own.
    const QFontMetrics metrics = Label1->fontMetrics();
    Label1->setMinimumWidth(qMax(metrics.horizontalAdvance(first), metrics.horizontalAdvance(second)));
    Label2 = makeLabel("Label2", QStringLiteral("Base Message:"), this);
    txtBaseMsg = lineEdit("txtBaseMsg", 32767, this);
    m_baseLimit = new TypingLimit(txtBaseMsg, 25);
    txtBaseMsg->setValidator(m_baseLimit);
    Label3 = makeLabel("Label3", QStringLiteral("PIN:"), this);
    txtPIN = lineEdit("txtPIN", 10, this);
    Label4 = makeLabel("Label4", QStringLiteral("Cycle Time:"), this);
    Label5 = makeLabel("Label5", QStringLiteral("Send page every"), this);
    txtCycleTime = lineEdit("txtCycleTime", 2, this);
    txtCycleTime->setText(QStringLiteral("30"));
    Label6 = makeLabel("Label6", QStringLiteral("seconds."), this);
    cmdStart = makeButton("cmdStart", "&Start", this);
    cmdStart->setDefault(true);
    cmdCancel = makeButton("cmdCancel", "&Cancel", this);
    cmdCancel->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0, 1, 4);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(txtBaseMsg, 1, 1, 1, 3);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(txtPIN, 2, 1, 1, 3);
    grid->addWidget(Label4, 3, 0);
    grid->addWidget(Label5, 3, 1);
    grid->addWidget(txtCycleTime, 3, 2);
    grid->addWidget(Label6, 3, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const int buttonWidth = qMax(cmdStart->sizeHint().width(), cmdCancel->sizeHint().width());
    for (QPushButton* b : {cmdStart, cmdCancel}) {
        b->setMinimumWidth(buttonWidth);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    grid->addLayout(buttons, 4, 0, 1, 4);
    setTabOrder(txtBaseMsg, txtPIN);
    setTabOrder(txtPIN, txtCycleTime);

    connect(cmdStart, &QPushButton::clicked, this, &frmRangeTest::cmdStart_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmRangeTest::cmdCancel_Click);
    Form_Load();
}

frmRangeTest::~frmRangeTest() {
    if (g_setup == this)
        g_setup = nullptr;
}

void frmRangeTest::Form_Load() {
    adjustSize();
    centreOnScreen(this);
    txtPIN->setText(m_console->txtPIN->text());
    const QString message = m_console->txtMessage->text();
    m_baseLimit->holds(message.size());
    txtBaseMsg->setText(message);
    if (txtBaseMsg->text().isEmpty())
        txtBaseMsg->setText(QStringLiteral("Test"));
    txtBaseMsg->setFocus();
}

void frmRangeTest::cmdStart_Click() {
    const auto cycle = toInt16(txtCycleTime->text().toLatin1());
    if (!cycle) {
        Dialogs::message(QStringLiteral("Cycle Time must be a number of seconds."), Buttons::Ok, Icon::None,
                         QStringLiteral("Invalid Cycle Time"));
        return;
    }
    m_console->startRangeTest(txtPIN->text(), *cycle);
    hide();
}

void frmRangeTest::cmdCancel_Click() {
    close();
}

// Cancel, the close box and Esc leave the console ready to send single pages again.
void frmRangeTest::reject() {
    if (m_console)
        m_console->rangeTestCancelled();
    QDialog::reject();
}

} // namespace qpes

#include "support/TestSupport.h"

#include "app/frmSplash.h"
#include "app/frmTerminal.h"
#include "editors/EditorGrid.h"
#include "editors/families/frmCfgFam.h"
#include "link/Link.h"
#include "link/PortNumbers.h"
#include "link/frmCancelSend.h"
#include "model/PagerDatabase.h"
#include "platform/Platform.h"
#include "platform/TerminalControls.h"
#include "sim/EncoderSim.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTableWidgetItem>
#include <QtTest>

namespace qpes::test {

Sandbox::Sandbox() : m_startFolder(QDir::currentPath()) {
    QDir().mkpath(folder());
    SettingsStore::useFile(settingsFile());
    setProgramFolder(folder());
    resetShared();
    Dialogs::setScript(&script);
    // No serial device of this machine gets a number in a test.
    setSerialDeviceSource([] { return QList<SerialDevice>(); });
}

Sandbox::~Sandbox() {
    delete frmSplash::instance();
    delete frmTerminal::instance();
    delete frmCfgFam::loaded();
    frmCancelSend::unload();
    setBusy(false);
    Dialogs::setScript(nullptr);
    setSerialDeviceSource({});
    QDir::setCurrent(m_startFolder);
}

QString Sandbox::folder() const {
    return m_dir.path() + QStringLiteral("/program");
}
QString Sandbox::path(const QString& name) const {
    return folder() + QLatin1Char('/') + name;
}
QString Sandbox::settingsFile() const {
    return m_dir.path() + QStringLiteral("/settings.ini");
}

QStringList boxTexts(const DialogScript& script) {
    QStringList texts;
    for (const BoxRecord& b : script.boxes)
        texts << b.text;
    return texts;
}

QStringList boxTitles(const DialogScript& script) {
    QStringList titles;
    for (const BoxRecord& b : script.boxes)
        titles << b.title;
    return titles;
}

void clickCell(EditorGrid* grid, int r, int c) {
    grid->scrollToCell(r, c);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(r, c).center());
}

QString alignment(const QTableWidgetItem* cell) {
    const auto a = Qt::Alignment(cell->textAlignment());
    if (a == (Qt::AlignLeft | Qt::AlignVCenter))
        return QStringLiteral("left");
    if (a == (Qt::AlignHCenter | Qt::AlignVCenter))
        return QStringLiteral("centre");
    return a ? QStringLiteral("other") : QString();
}

QString itemTexts(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts.join(QLatin1Char(' '));
}

void leaveLoginAnswerWaiting(CommControl& port, sim::EncoderSim& encoder) {
    QVERIFY(port.Output("\x1bPG1\r"));
    QTRY_COMPARE(port.InBufferCount(), 45);
    encoder.clearReceived();
}

void closePortOrCancel(Link& link, bool closePort) {
    if (closePort)
        link.MSComm1.setPortOpen(false);
    else
        shared().CancelRequested = true;
}

QList<bool> transferUnderWay(const TerminalControls& main) {
    QList<bool> seen{isBusy(), shared().DatabaseBusy};
    for (int n = 1; n <= 7; ++n)
        seen << !main.controlEnabled(toolbarButton(n));
    return seen;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

} // namespace qpes::test

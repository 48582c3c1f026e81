#include "link/CommPort.h"

#include "platform/Platform.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QThread>

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace qpes {

namespace {

bool allDigits(const QString& s) {
    if (s.isEmpty())
        return false;
    for (const QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

char parityLetter(QSerialPort::Parity p) {
    switch (p) {
    case QSerialPort::EvenParity:
        return 'e';
    case QSerialPort::OddParity:
        return 'o';
    case QSerialPort::MarkParity:
        return 'm';
    case QSerialPort::SpaceParity:
        return 's';
    default:
        return 'n';
    }
}

QString stopText(QSerialPort::StopBits s) {
    switch (s) {
    case QSerialPort::OneAndHalfStop:
        return QStringLiteral("1.5");
    case QSerialPort::TwoStop:
        return QStringLiteral("2");
    default:
        return QStringLiteral("1");
    }
}

} // namespace

CommControl::CommControl() {
    m_port.setFlowControl(QSerialPort::NoFlowControl);
}

CommControl::~CommControl() {
    if (m_port.isOpen())
        m_port.close();
}

void CommControl::fail(const QString& description) {
    // Once the device has gone, the loss is the error worth telling; what fails after it is
    // only its consequence.
    if (m_gone && hasError())
        return;
    m_error = description;
}

bool CommControl::setCommPort(int n) {
    if (m_port.isOpen()) {
        fail(QStringLiteral("Operation valid only when the port is closed"));
        return false;
    }
    if (n < 1 || n > HighestCommPort) {
        fail(QStringLiteral("Invalid port number"));
        return false;
    }
    m_number = n;
    return true;
}

QString CommControl::Settings() const {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(m_settings.baud)
        .arg(QLatin1Char(parityLetter(m_settings.parity)))
        .arg(int(m_settings.dataBits))
        .arg(stopText(m_settings.stopBits));
}

bool CommControl::setSettings(const QString& settings) {
    const QStringList parts = settings.split(QLatin1Char(','));
    LineSettings s;
    bool ok = parts.size() == 4 && allDigits(parts[0]);
    if (ok) {
        s.baud = parts[0].toInt(&ok);
        ok = ok && s.baud > 0;
    }
    if (ok) {
        const QString p = parts[1].toLower();
        if (p == QLatin1String("n"))
            s.parity = QSerialPort::NoParity;
        else if (p == QLatin1String("e"))
            s.parity = QSerialPort::EvenParity;
        else if (p == QLatin1String("o"))
            s.parity = QSerialPort::OddParity;
        else if (p == QLatin1String("m"))
            s.parity = QSerialPort::MarkParity;
        else if (p == QLatin1String("s"))
            s.parity = QSerialPort::SpaceParity;
        else
            ok = false;
    }
    if (ok) {
        const QString d = parts[2];
        ok = d.size() == 1 && d[0] >= QLatin1Char('5') && d[0] <= QLatin1Char('8');
        if (ok)
            s.dataBits = QSerialPort::DataBits(d[0].unicode() - '0');
    }
    if (ok) {
        const QString st = parts[3];
        if (st == QLatin1String("1"))
            s.stopBits = QSerialPort::OneStop;
        else if (st == QLatin1String("1.5"))
            s.stopBits = QSerialPort::OneAndHalfStop;
        else if (st == QLatin1String("2"))
            s.stopBits = QSerialPort::TwoStop;
        else
            ok = false;
    }
    if (!ok) {
        fail(QStringLiteral("Invalid port settings: %1").arg(settings));
        return false;
    }
    if (m_port.isOpen() && !apply(s)) {
        const QString why = m_port.errorString();
        apply(m_settings);
        fail(why);
        return false;
    }
    m_settings = s;
    return true;
}

bool CommControl::apply(const LineSettings& s) {
    if (!m_port.setBaudRate(s.baud) || !m_port.setStopBits(s.stopBits))
        return false;
    // A pseudo-terminal carries 8 bits without parity whatever it is told; that is no failure.
    const bool shapeSet = m_port.setDataBits(s.dataBits) && m_port.setParity(s.parity);
    return shapeSet || isPseudoTerminal();
}

bool isPtySlaveMajor(unsigned int major) {
    return major >= 136 && major <= 143;
}

bool CommControl::isPseudoTerminal() const {
    struct stat st {};
    if (!m_port.isOpen() || ::fstat(int(m_port.handle()), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    return isPtySlaveMajor(major(st.st_rdev));
}

bool CommControl::PortOpen() const {
    return m_port.isOpen();
}

bool CommControl::setPortOpen(bool open) {
    if (open == m_port.isOpen())
        return true;
    m_gone = false;
    if (!open) {
        m_port.close();
        return true;
    }
    const QString device = SettingsStore::portDevice(m_number);
    if (device.isEmpty()) {
        fail(QStringLiteral("No serial device is assigned to COM %1").arg(m_number));
        return false;
    }
    m_port.setPortName(device);
    m_port.setBaudRate(m_settings.baud);
    m_port.setDataBits(m_settings.dataBits);
    m_port.setParity(m_settings.parity);
    m_port.setStopBits(m_settings.stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        fail(m_port.errorString());
        return false;
    }
    m_port.clearError();
    m_error.clear(); // whatever an earlier failure left is no longer true
    return true;
}

bool CommControl::Output(const QByteArray& bytes) {
    if (!m_port.isOpen()) {
        fail(QStringLiteral("Operation valid only when the port is open"));
        return false;
    }
    if (m_gone)
        return false;
    if (m_port.write(bytes) != bytes.size()) {
        if (!noticeDeviceGone())
            fail(m_port.errorString());
        return false;
    }
    // What the driver does not take now goes out during the reply's wait.
    m_port.flush();
    return !noticeDeviceGone();
}

bool CommControl::lineHungUp() const {
    if (!m_port.isOpen())
        return false;
    pollfd line{int(m_port.handle()), POLLIN, 0};
    return ::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

bool CommControl::noticeDeviceGone() {
    if (m_gone)
        return true;
    if (!lineHungUp())
        return false;
    // Whatever the system called the failure that met the loss first (a hung-up line reads as end
    // of file, a write as an I/O error or as "try again"), the user is told the one thing.
    m_error = QStringLiteral("The serial device is no longer connected");
    m_gone = true;
    return true;
}

int CommControl::driverInputCount() const {
    int waiting = 0;
    if (!m_port.isOpen() || ::ioctl(int(m_port.handle()), FIONREAD, &waiting) != 0)
        return 0;
    return waiting;
}

QByteArray CommControl::Input() {
    if (!m_port.isOpen())
        return {};
    // Take in what the driver holds now, not only what the event loop has already fetched.
    if (driverInputCount() > 0)
        m_port.waitForReadyRead(0);
    return m_port.readAll();
}

int CommControl::InBufferCount() const {
    if (!m_port.isOpen())
        return 0;
    return int(m_port.bytesAvailable()) + driverInputCount();
}

void CommControl::clearInBuffer() {
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
}

void CommControl::waitForInput(int ms) {
    if (!m_port.isOpen() || m_gone) {
        QThread::msleep(ulong(qMax(0, ms)));
        return;
    }
    if (m_port.bytesAvailable() > 0)
        return;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const int left = ms - int(clock.elapsed());
        if (left <= 0 || m_port.waitForReadyRead(left))
            return;
        if (m_port.error() != QSerialPort::TimeoutError) {
            if (noticeDeviceGone())
                return;
            // A failed read returns at once; keep the pace instead of spinning.
            m_port.clearError();
            QThread::msleep(ulong(qMax(0, ms - int(clock.elapsed()))));
            return;
        }
    }
}

} // namespace qpes

#pragma once
// The one serial line to the encoder. Shaped like the communications control the rest of the
// program was designed around: a port number, a settings string, an open switch, whole-text
// output and input, and one pending error that the caller reports and clears.

#include <QByteArray>
#include <QSerialPort>
#include <QString>

namespace qpes {

constexpr int HighestCommPort = 16;

// True for the device major numbers of Unix98 pseudo-terminal slaves (/dev/pts/N).
bool isPtySlaveMajor(unsigned int major);

class CommControl {
public:
    CommControl();
    ~CommControl();
    CommControl(const CommControl&) = delete;
    CommControl& operator=(const CommControl&) = delete;

    // COMn; the device is looked up in the settings store when the port opens, and a number
    // without a device there does not open.
    int CommPort() const { return m_number; }
    // Refused (pending error) while the port is open or for n outside 1..HighestCommPort.
    bool setCommPort(int n);

    // "baud,parity,data,stop" in its one form, parity letter in lower case: "9600,n,8,1".
    QString Settings() const;
    // Parity n/e/o/m/s in either case, 5 to 8 data bits, 1, 1.5 or 2 stop bits. Takes effect
    // at once, also while open. A malformed string or a speed the driver refuses is a pending
    // error and leaves the settings as they were.
    bool setSettings(const QString& settings);

    bool PortOpen() const;
    // Opens read/write, raw, without flow control; a failure is a pending error.
    bool setPortOpen(bool open);

    // Queues every byte, in order, and hands the driver what it takes at once; the rest leaves
    // while the caller waits for the reply (waitForInput), so a line that cannot take the bytes
    // never blocks the window. False on a closed port (pending error), on a failed write (pending
    // error) and on a device already gone (its error was raised when it went).
    bool Output(const QByteArray& bytes);
    // Everything received and not yet read, removed from the port.
    QByteArray Input();
    int InBufferCount() const;
    // Drops everything received and not yet read, including what the driver still holds.
    void clearInBuffer();
    // Returns as soon as input is waiting, or after `ms`; queued output goes out meanwhile.
    // On a closed port, or once the device has gone, it just waits.
    void waitForInput(int ms);

    // The device went away while the port was open (unplugged, or the other end hung up). The
    // port never closes itself: it stays open, its open state unchanged, until the program
    // closes it, and the error that told of the loss is pending once. Opening again clears both.
    bool deviceGone() const { return m_gone; }

    bool hasError() const { return !m_error.isEmpty(); }
    QString errorDescription() const { return m_error; }
    void clearError() { m_error.clear(); }

private:
    struct LineSettings {
        qint32 baud = 9600;
        QSerialPort::Parity parity = QSerialPort::NoParity;
        QSerialPort::DataBits dataBits = QSerialPort::Data8;
        QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    };
    bool apply(const LineSettings& s);
    bool isPseudoTerminal() const;
    int driverInputCount() const;
    bool lineHungUp() const;
    // True when the device has gone, now or earlier.
    bool noticeDeviceGone();
    void fail(const QString& description);

    int m_number = 1;
    LineSettings m_settings;
    QSerialPort m_port;
    QString m_error;
    bool m_gone = false;
};

} // namespace qpes

#pragma once
// The one serial line to the encoder. Shaped like the communications control the rest of the
// program was designed around: a port number, a settings string, an open switch, whole-text
// output and input, and one pending error that the caller reports and clears.

#include <QByteArray>
#include <QSerialPort>
#include <QString>

namespace qpes {

class CommControl {
public:
    CommControl();
    ~CommControl();
    CommControl(const CommControl&) = delete;
    CommControl& operator=(const CommControl&) = delete;

    // COMn; the device is looked up in the settings store when the port opens.
    int CommPort() const { return m_number; }
    // Refused (pending error) while the port is open or for n outside 1..16.
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

    // Sends every byte and waits until it has left; false (pending error) on a closed port or
    // a failed write.
    bool Output(const QByteArray& bytes);
    // Everything received and not yet read, removed from the port.
    QByteArray Input();
    int InBufferCount() const;
    // Drops everything received and not yet read, including what the driver still holds.
    void clearInBuffer();
    // Returns as soon as input is waiting, or false after `ms`. On a closed port it just waits.
    bool waitForInput(int ms);

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
    void fail(const QString& description) { m_error = description; }

    int m_number = 1;
    LineSettings m_settings;
    QSerialPort m_port;
    QString m_error;
};

} // namespace qpes

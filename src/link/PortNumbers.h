#pragma once
// COM numbers for the serial devices the system reports, numbered the way the desktop's own
// serial list numbers them, and kept in the settings store ("Ports/COMn") so that a device keeps
// its number from one run to the next.

#include <QList>
#include <QMap>
#include <QString>
#include <functional>

namespace qpes {

// Numbers given to devices without one; a hand-made "Ports/COMn" may use up to HighestCommPort.
constexpr int HighestNumberedPort = 8;

struct SerialDevice {
    QString path;         // the device node: /dev/ttyUSB0
    QString stablePath;   // its /dev/serial/by-id link, or the device node where it has none
    bool builtIn = false; // a port of the machine itself, numbered before the adapters
};

// The numbers to store for the present devices that have none: the lowest free of 1 to 8 for
// each, built-in ports first by number, then adapters by name. A device has a number when a
// stored path is its node or its stable path; a stored number is never given again, whether its
// device is present or not. Maps each new number to the device's stable path.
QMap<int, QString> numberNewDevices(QMap<int, QString> stored, QList<SerialDevice> devices);

// The link in `linkFolder` that leads to `device`, or `device` itself when none does.
QString stablePath(const QString& device, const QString& linkFolder = QStringLiteral("/dev/serial/by-id"));

// The serial devices present now: the system's list, or the one a test put in its place.
QList<SerialDevice> presentSerialDevices();
// Tests script the device list; an empty function brings back the system's.
void setSerialDeviceSource(std::function<QList<SerialDevice>()> source);

// Numbers the present devices that have no number yet and stores the new numbers. Every stored
// entry keeps its number, whatever its value; a bare name ("ttyS0") stands for its /dev node.
void assignPortNumbers();

} // namespace qpes

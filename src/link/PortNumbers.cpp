#include "link/PortNumbers.h"

#include "link/CommPort.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <tuple>

namespace qpes {

namespace {

std::function<QList<SerialDevice>()> g_deviceSource;

// ttyUSB10 after ttyUSB2: the name's stem, then its trailing number.
std::tuple<QString, qint64> nameOrder(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    qsizetype digits = name.size();
    while (digits > 0 && name.at(digits - 1).isDigit())
        --digits;
    return {name.left(digits), name.mid(digits).toLongLong()};
}

bool numberedBefore(const SerialDevice& a, const SerialDevice& b) {
    if (a.builtIn != b.builtIn)
        return a.builtIn;
    return nameOrder(a.path) < nameOrder(b.path);
}

bool hasNumber(const QMap<int, QString>& stored, const SerialDevice& device) {
    return std::any_of(stored.cbegin(), stored.cend(),
                       [&](const QString& path) { return path == device.path || path == device.stablePath; });
}

// The path the port opens for a stored device: a bare name ("ttyS0") is a device in /dev.
QString openedPath(const QString& device) {
    if (device.isEmpty() || device.startsWith(QLatin1Char('/')) || device.startsWith(QLatin1String("./")) ||
        device.startsWith(QLatin1String("../")))
        return device;
    return QStringLiteral("/dev/") + device;
}

QList<SerialDevice> systemSerialDevices() {
    QList<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString node = info.systemLocation();
        // Adapters carry a USB identity; the machine's own ports have none.
        devices.append({node, stablePath(node), !info.hasVendorIdentifier()});
    }
    return devices;
}

} // namespace

QMap<int, QString> numberNewDevices(QMap<int, QString> stored, QList<SerialDevice> devices) {
    std::stable_sort(devices.begin(), devices.end(), numberedBefore);
    QMap<int, QString> added;
    int next = 1;
    for (const SerialDevice& device : devices) {
        if (hasNumber(stored, device))
            continue;
        while (next <= HighestNumberedPort && stored.contains(next))
            ++next;
        if (next > HighestNumberedPort)
            break;
        stored.insert(next, device.stablePath);
        added.insert(next, device.stablePath);
    }
    return added;
}

QString stablePath(const QString& device, const QString& linkFolder) {
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return device;
    const QFileInfoList links =
        QDir(linkFolder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links)
        if (link.isSymLink() && link.canonicalFilePath() == target)
            return link.absoluteFilePath();
    return device;
}

QList<SerialDevice> presentSerialDevices() {
    return g_deviceSource ? g_deviceSource() : systemSerialDevices();
}

void setSerialDeviceSource(std::function<QList<SerialDevice>()> source) {
    g_deviceSource = std::move(source);
}

void assignPortNumbers() {
    // A stored link counts as the node it leads to now, so a device named by another link of
    // its own (a by-path link, a link of the user's) gets no second number. A number whose
    // entry is there is taken, even when its value names no device.
    QMap<int, QString> stored;
    for (int n = 1; n <= HighestCommPort; ++n) {
        if (!SettingsStore::hasPortEntry(n))
            continue;
        const QString path = openedPath(SettingsStore::portDevice(n));
        const QString node = QFileInfo(path).canonicalFilePath();
        stored.insert(n, node.isEmpty() ? path : node);
    }
    const QMap<int, QString> added = numberNewDevices(stored, presentSerialDevices());
    for (auto it = added.cbegin(); it != added.cend(); ++it)
        SettingsStore::setPortDevice(it.key(), it.value());
}

} // namespace qpes

#include "platform/Platform.h"

#include "model/PagerDatabase.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>
#include <memory>

#include <unistd.h>

namespace qpes {

namespace {
QString g_settingsFile;
QString g_programFolder;
bool g_busy = false;

std::unique_ptr<QSettings> openStore() {
    if (!g_settingsFile.isEmpty())
        return std::make_unique<QSettings>(g_settingsFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QString::fromLatin1(AppTitle), QString::fromLatin1(AppTitle));
}

QString propertiesKey(const QString& key) {
    return QStringLiteral("Properties/") + key;
}
} // namespace

QString SettingsStore::get(const QString& key) {
    return openStore()->value(propertiesKey(key)).toString();
}

namespace {
// A setting the user has just changed is on the disk before the call returns: a program ended
// right after (a signal, a power cut) still finds it at the next start.
void writeThrough(QSettings& store) {
    store.sync();
    QFile file(store.fileName());
    if (file.open(QIODevice::ReadOnly))
        ::fsync(file.handle());
}
} // namespace

void SettingsStore::set(const QString& key, const QString& value) {
    const auto store = openStore();
    store->setValue(propertiesKey(key), value);
    writeThrough(*store);
}

bool SettingsStore::contains(const QString& key) {
    return openStore()->contains(propertiesKey(key));
}

namespace {
QString portKey(int n) {
    return QStringLiteral("Ports/COM%1").arg(n);
}
} // namespace

QString SettingsStore::portDevice(int n) {
    return openStore()->value(portKey(n)).toString();
}

bool SettingsStore::hasPortEntry(int n) {
    return openStore()->contains(portKey(n));
}

void SettingsStore::setPortDevice(int n, const QString& device) {
    const auto store = openStore();
    store->setValue(portKey(n), device);
    writeThrough(*store);
}

void SettingsStore::useFile(const QString& iniPath) {
    g_settingsFile = iniPath;
}

QString programFolder() {
    if (g_programFolder.isEmpty())
        g_programFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                          QLatin1Char('/') + QString::fromLatin1(AppTitle);
    return g_programFolder;
}

void setProgramFolder(const QString& path) {
    g_programFolder = path;
}

bool makeProgramFolderCurrent() {
    const QString folder = programFolder();
    return QDir().mkpath(folder) && QDir::setCurrent(folder);
}

void setBusy(bool busy) {
    if (busy == g_busy)
        return;
    g_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool isBusy() {
    return g_busy;
}

QFont programFont() {
    return QFont(QStringLiteral("Arial"), 8);
}

void useProgramFont() {
    QApplication::setFont(programFont());
}

void centreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    window->move(area.x() + (area.width() - window->width()) / 2,
                 area.y() + (area.height() - window->height()) / 2);
}

void setTwipsGeometry(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

void openHelpFile() {
    Dialogs::openDocument(QDir(programFolder()).absoluteFilePath(shared().HelpFile));
}

} // namespace qpes

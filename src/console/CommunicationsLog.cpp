#include "console/CommunicationsLog.h"

#include "model/PagerDatabase.h"
#include "model/TapPaging.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPointer>

namespace qpes {

namespace {
QPointer<QListWidget> g_list;
std::function<QDateTime()> g_clock;

QDateTime now() {
    return g_clock ? g_clock() : QDateTime::currentDateTime();
}

// The dialog's file name, with "LOG" added to a name typed without an extension, so a log can
// never land on a database file.
std::optional<QString> chooseLogFile() {
    FileRequest request;
    request.title = QStringLiteral("Open Communications Log File");
    request.filter = QStringLiteral("Log Files (*.LOG)|*.log|All Files (*.*)|*.*");
    request.defaultSuffix = QStringLiteral("LOG");
    request.proposed = programFolder();
    auto chosen = Dialogs::file(request);
    if (chosen && QFileInfo(*chosen).suffix().isEmpty())
        *chosen += QStringLiteral(".LOG");
    return chosen;
}
} // namespace

void setLogList(QListWidget* list) {
    g_list = list;
}

void setLogClock(std::function<QDateTime()> clock) {
    g_clock = std::move(clock);
}

void AddLogLine(const QByteArray& text) {
    const QByteArray line = logLine(now(), text);
    if (g_list) {
        g_list->insertItem(0, QString::fromLatin1(line));
        while (g_list->count() > LogListLimit)
            delete g_list->takeItem(g_list->count() - 1);
        g_list->setCurrentRow(0);
    }
    // A line that cannot be written is skipped; the next one is tried again.
    if (const auto& file = shared().LogFileNumber) {
        file->write(line + "\r\n");
        file->flush();
    }
}

bool logFileOpen() {
    return shared().LogFileNumber != nullptr;
}

void CloseLogFile() {
    shared().LogFileNumber.reset();
}

void OpenLogFile() {
    CloseLogFile();
    QString path;
    for (;;) {
        const auto chosen = chooseLogFile();
        if (!chosen)
            return;
        path = *chosen;
        QDir::setCurrent(QFileInfo(path).absolutePath());
        if (!QFileInfo::exists(path))
            break;
        const Answer answer =
            Dialogs::message(QStringLiteral("Replace existing file - ") + path + QLatin1Char('?'),
                             Buttons::YesNoCancel, Icon::Question);
        if (answer == Answer::Cancel)
            continue;
        if (answer == Answer::Yes) {
            QFile old(path);
            if (!old.remove()) {
                Dialogs::failure(old.errorString());
                setBusy(false);
                return;
            }
        }
        break;
    }
    auto file = std::make_shared<QFile>(path);
    if (!file->open(QIODevice::ReadWrite | QIODevice::Append)) {
        Dialogs::failure(file->errorString());
        setBusy(false);
        return;
    }
    shared().LogFileNumber = file;
    AddLogLine("Log File Opened - " + path.toLatin1());
    if (file->error() != QFileDevice::NoError) {
        Dialogs::message(file->errorString(), Buttons::Ok, Icon::None);
        file->unsetError();
    }
}

} // namespace qpes

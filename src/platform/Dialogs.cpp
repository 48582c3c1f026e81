#include "platform/Dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace qpes {

const char* const AppTitle = "Quillmar Paging Encoder Setup";

namespace {
DialogScript* g_script = nullptr;
QWidget* g_parent = nullptr;

Answer firstButton(Buttons b) {
    return (b == Buttons::YesNo || b == Buttons::YesNoCancel) ? Answer::Yes : Answer::Ok;
}

QMessageBox::StandardButton toStandard(Answer a) {
    switch (a) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QString qtFilter(const QString& filter) {
    // "Shown text|pattern|Shown text|pattern" to Qt's "Shown text (pattern);;..."
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return out.join(QStringLiteral(";;"));
}
} // namespace

void Dialogs::setScript(DialogScript* script) {
    g_script = script;
}
DialogScript* Dialogs::script() {
    return g_script;
}
void Dialogs::setParentWindow(QWidget* parent) {
    g_parent = parent;
}

Answer Dialogs::message(const QString& text, Buttons buttons, Icon icon, const QString& title,
                        Answer defaultAnswer) {
    BoxRecord record{title.isEmpty() ? QString::fromLatin1(AppTitle) : title, text, icon, buttons,
                     Answer::Ok};
    if (g_script) {
        record.answer = g_script->answers.empty() ? firstButton(buttons) : g_script->answers.front();
        if (!g_script->answers.empty())
            g_script->answers.pop_front();
        g_script->boxes.append(record);
        if (g_script->onBox)
            g_script->onBox(record);
        return record.answer;
    }

    QMessageBox box(g_parent);
    box.setWindowTitle(record.title);
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace('\r', '\n');
    box.setText(shown);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    if (box.button(toStandard(defaultAnswer)))
        box.setDefaultButton(toStandard(defaultAnswer));
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        // Closing the box with Esc or its close button counts as its cancelling answer.
        return buttons == Buttons::YesNo ? Answer::No
                                         : (buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel);
    }
}

void Dialogs::failure(const QString& description) {
    message(description, Buttons::Ok, Icon::Exclamation);
}

std::optional<QString> Dialogs::file(const FileRequest& request) {
    if (g_script) {
        g_script->fileRequests.append(request);
        if (g_script->files.empty())
            return std::nullopt;
        const bool cancelled = !g_script->files.front().has_value();
        const QString path = g_script->files.front().value_or(QString());
        g_script->files.pop_front();
        if (cancelled)
            return std::nullopt;
        return path;
    }
    QFileDialog dialog(g_parent, request.title);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setNameFilter(qtFilter(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    const QFileInfo proposed(request.proposed);
    if (proposed.isDir()) {
        dialog.setDirectory(proposed.absoluteFilePath());
    } else {
        dialog.setDirectory(proposed.absolutePath());
        dialog.selectFile(proposed.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

bool Dialogs::print(QPrinter& printer) {
    if (g_script) {
        ++g_script->printRequests;
        if (g_script->prints.empty())
            return false;
        const PrintRequest p = g_script->prints.front();
        g_script->prints.pop_front();
        if (!p.accepted)
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(p.outputFile);
        printer.setCopyCount(p.copies);
        return true;
    }
    QPrintDialog dialog(&printer, g_parent);
    return dialog.exec() == QDialog::Accepted;
}

void Dialogs::openDocument(const QString& path) {
    if (g_script) {
        g_script->openedDocuments.append(path);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace qpes

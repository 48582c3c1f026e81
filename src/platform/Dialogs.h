#pragma once
// The one way the program shows message boxes, file dialogs and the print dialog, and opens
// documents through the desktop. Tests install a script that answers and records every request.

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace qpes {

enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

extern const char* const AppTitle; // "Quillmar Paging Encoder Setup"

struct BoxRecord {
    QString title;
    QString text; // lines joined by CR, as the program builds them
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    Answer answer = Answer::Ok;
};

struct FileRequest {
    bool save = false;
    QString title;
    QString filter;        // "Pager Database Files (*.PG7)|*.pg7"
    QString defaultSuffix; // added to a chosen name without an extension
    QString proposed;      // folder, or folder and file name
};

struct PrintRequest {
    bool accepted = true;
    QString outputFile; // the PDF file the "printer" writes
    int copies = 1;
};

// What a test scripts: answers taken in order, and a record of every request.
struct DialogScript {
    std::deque<Answer> answers;                  // when empty, the box's first button
    std::deque<std::optional<QString>> files;    // nullopt = Cancel
    std::deque<PrintRequest> prints;             // when empty, Cancel
    std::function<void(const BoxRecord&)> onBox; // runs while the box is "up"

    QList<BoxRecord> boxes;
    QList<FileRequest> fileRequests;
    int printRequests = 0;
    QStringList openedDocuments;
};

class Dialogs {
public:
    // A box with no title of its own shows the application title. CR in the text breaks lines.
    static Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title = QString(),
                          Answer defaultAnswer = Answer::Ok);
    // The failure box: the failure's description, OK, exclamation icon, application title.
    static void failure(const QString& description);
    // A chosen full path, or nullopt on Cancel.
    static std::optional<QString> file(const FileRequest& request);
    // Shows the print dialog for `printer`; false on Cancel. The copies chosen come back as
    // the printer's copy count.
    static bool print(QPrinter& printer);
    // Opens a document with the desktop's handler; the result is not examined.
    static void openDocument(const QString& path);

    static void setScript(DialogScript* script);
    static DialogScript* script();
    static void setParentWindow(QWidget* parent);
};

} // namespace qpes

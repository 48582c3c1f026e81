#pragma once
// Small platform services: the settings store, the program's folder, the busy pointer and
// window geometry in twips.

#include <QString>

class QFont;
class QWidget;

namespace qpes {

// Per-user settings kept from one run to the next. Keys of section "Properties" ("Settings",
// "CommPort", "LastFile") and the serial devices under "Ports/COMn".
class SettingsStore {
public:
    static QString get(const QString& key); // empty when missing
    static void set(const QString& key, const QString& value);
    static bool contains(const QString& key);
    // The serial device for port COMn: "Ports/COMn", empty when COMn has none.
    static QString portDevice(int n);
    // Whether "Ports/COMn" is there at all, whatever it holds (an empty or unreadable value too).
    static bool hasPortEntry(int n);
    static void setPortDevice(int n, const QString& device);
    // Tests keep their settings in a file of their own.
    static void useFile(const QString& iniPath);
};

// The per-user data folder that stands for the program's own folder.
QString programFolder();
void setProgramFolder(const QString& path); // tests
// Creates the program's folder and makes it the working folder.
bool makeProgramFolderCurrent();

// Opens the help document (`HelpFile`) from the program's folder, whatever the current folder.
void openHelpFile();

// The hourglass pointer: one on/off state, not a stack.
void setBusy(bool busy);
bool isBusy();

// The program's one face, for every window: the windows are laid out in twips for a small
// 8-point face, and the desktop's usual wider default would cut their captions.
QFont programFont();
void useProgramFont(); // makes it the application's face

// 1 pixel = 15 twips at 96 dpi.
constexpr int twipsToPixels(int twips) {
    return twips / 15;
}
void centreOnScreen(QWidget* window);
// Places a control at a design position given in twips.
void setTwipsGeometry(QWidget* w, int left, int top, int width, int height);

} // namespace qpes

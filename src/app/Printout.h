#pragma once
// The two-page printout of the pager database: a layout built from the tables alone (positions in
// twips, fixed-width cells in a monospaced font), then drawn on the printer once per copy.

#include "model/PagerDatabase.h"

#include <QDate>
#include <QImage>
#include <QList>
#include <QString>
#include <optional>

class QPrinter;

namespace qpes {

struct PrintElement {
    enum class Kind { Text, Picture };
    Kind kind = Kind::Text;
    int x = 0;             // twips from the page's left edge; a centred text computes its own
    int y = 0;             // twips from the top: the top of the text or the picture
    bool fromFoot = false; // y counts up from the page's foot instead (the footer)
    int width = 0;         // picture only
    int height = 0;
    QString font;
    int points = 0;
    bool bold = false;
    bool centred = false; // X = page width / 2 - text width / 2 + centreOffset
    int centreOffset = 0;
    QString text;
};

using PrintPage = QList<PrintElement>;

// The pages of one copy. Nothing when a field that must be read as a number is not one, or a
// derived end ID or end capcode does not fit in 32 bits: the printout then prints nothing.
std::optional<QList<PrintPage>> layoutPrintout(const SharedState& s, const QString& portSettings,
                                               const QDate& date);

// File > Print Database Configuration: the print dialog, then every copy as one document.
void PrintDatabase(const SharedState& s, const QString& portSettings, const QImage& logo);

// Lays out and draws `copies` copies on a printer that is set up. As in a printer's own
// coordinates, the origin is the corner of its page rectangle (the printable area, or the whole
// sheet in full-page mode) and the footer stands at that rectangle's foot. A page whose layout
// needs more room than the rectangle has is shrunk, whole and alike in both directions, to fit.
// False when nothing was printed.
bool PrintOn(QPrinter& printer, const SharedState& s, const QString& portSettings, const QImage& logo,
             int copies);

} // namespace qpes

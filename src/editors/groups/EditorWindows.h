#pragma once
// What the groups and canned messages editors share: the cell colours and their tie to the
// main window.

#include <QColor>
#include <functional>

class QWidget;

namespace qpes {

namespace CellColour {
inline const QColor Ivory{255, 255, 245};
inline const QColor LightGrey{192, 192, 192};
inline const QColor DarkGrey{128, 128, 128};
inline const QColor Green{0, 255, 0};
inline const QColor LightCyan{0, 255, 255};
inline const QColor Red{255, 0, 0};
inline const QColor Magenta{255, 0, 255};
} // namespace CellColour

// Shows a loaded window and brings it forward; false when there is none.
bool bringForward(QWidget* window);

// Runs `gone` when the main window is destroyed, so an editor never outlives it.
void followMainWindow(QWidget* editor, std::function<void()> gone);

// The modified notice an editor gives, left out while the program itself fills or transfers
// the database.
void noticeEdit();

} // namespace qpes

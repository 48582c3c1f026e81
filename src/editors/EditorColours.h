#pragma once
// The colours every editor grid paints with, each named for what it tells the user.

#include <QColor>

namespace qpes::EditorColour {

inline const QColor On{0, 255, 0};            // light green: "ON"
inline const QColor Off{255, 0, 0};           // light red: "OFF"
inline const QColor Ivory{255, 255, 245};     // an acceptable value of an active record
inline const QColor LightGrey{192, 192, 192}; // a record that is off but defined
inline const QColor Missing{255, 0, 255};     // light magenta: a missing or out-of-range value
inline const QColor DarkGrey{128, 128, 128};  // derived text; cells never painted
inline const QColor Adjusted{0, 255, 255};    // light cyan: a value a database check changed

} // namespace qpes::EditorColour

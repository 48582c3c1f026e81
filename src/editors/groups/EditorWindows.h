#pragma once
// What the groups and canned messages editors share: their tie to the main window.

#include <functional>

class QWidget;

namespace qpes {

// The start of an editor's load: the main window's tick timer stops, the change handlers rest
// while the controls are filled, and the window is centred.
void beginLoad(QWidget* window);

// Shows a loaded window and brings it forward; false when there is none.
bool bringForward(QWidget* window);

// Runs `gone` when the main window is destroyed, so an editor never outlives it.
void followMainWindow(QWidget* editor, std::function<void()> gone);

} // namespace qpes

#pragma once
// The main window's ID lookup: asks the encoder what it holds for the typed ID.

namespace qpes {

void LookupId();

} // namespace qpes

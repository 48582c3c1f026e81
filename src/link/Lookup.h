#pragma once
// The main window's ID lookup: asks the encoder what it holds for the typed ID and shows its
// answer, made readable, in the lookup label.

namespace qpes {

void LookupId();

} // namespace qpes

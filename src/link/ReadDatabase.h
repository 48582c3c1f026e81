#pragma once
// Reading the whole pager database from the encoder.

namespace qpes {

// Asks before overwriting edits, then reads the ID-as-capcode mode, the nine settings and the
// 10 group, 50 family and 15 message records into the tables, one exchange each; progress in
// status panel 1, failures in message boxes. A complete read marks the view as matching.
void ReadEncoderDatabase();

} // namespace qpes

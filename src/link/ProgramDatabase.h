#pragma once
// Programming the whole pager database into the encoder.

namespace qpes {

// The ID-as-capcode query, the nine settings, the 10 group, 50 family and 15 message records
// and the ID-as-capcode setting, one exchange each; progress in status panel 1, failures in
// message boxes. Runs inside the Program command's handler.
void WriteEncoderDatabase();

} // namespace qpes

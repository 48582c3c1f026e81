#pragma once
// Programming the whole pager database into the encoder.

namespace qpes {

void WriteEncoderDatabase();

} // namespace qpes

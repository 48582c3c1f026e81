#pragma once
// Reading the whole pager database from the encoder.

namespace qpes {

void ReadEncoderDatabase();

} // namespace qpes

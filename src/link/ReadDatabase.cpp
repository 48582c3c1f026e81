#include "link/ReadDatabase.h"

namespace qpes {

void ReadEncoderDatabase() {}

} // namespace qpes

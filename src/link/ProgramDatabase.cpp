#include "link/ProgramDatabase.h"

namespace qpes {

void WriteEncoderDatabase() {}

} // namespace qpes

#include "link/PortControl.h"

namespace qpes {

void ToggleComPort() {}

} // namespace qpes

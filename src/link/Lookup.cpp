#include "link/Lookup.h"

namespace qpes {

void LookupId() {}

} // namespace qpes

#pragma once
// The console's pager ID check with its boxes: "Invalid Capcode" in ID-as-capcode mode,
// "Invalid ID" with the detail otherwise. The detail of a failure outside ID-as-capcode mode
// stays in PagerIdError.

#include "model/PagerId.h"

namespace qpes {

PagerIdCheck::Outcome ValidatePagerId(const QByteArray& id);

} // namespace qpes

#pragma once
// The full pager database the benchmarks work on.

#include "model/PagerDatabase.h"
#include "model/Text.h"

namespace qpes {

// All 50 families defined and active: 100 pagers each from ID 1000 on, no range overlapping
// the next, prefixes cycling through the 15 messages.
inline void fillFamilies(FamilyTable& t) {
    for (int f = 0; f < FamilyCount; ++f) {
        PagerFamily& r = t[f];
        r[Fam::Active] = "1";
        r[Fam::StartCap] = zeroFill(QByteArray::number(1000000 + 1000 * f), 7);
        r[Fam::Rate] = "1";
        r[Fam::PgrType] = "A";
        r[Fam::Func] = "3";
        r[Fam::PagerQty] = "100";
        r[Fam::StartID] = QByteArray::number(1000 + 100 * f);
        r[Fam::Prefix] = QByteArray::number(f % 15 + 1);
        r[Fam::Suffix] = "00";
        r[Fam::Defined] = "YES";
    }
}

} // namespace qpes

#pragma once
// The check of the pager ID typed into the test console: a capcode in ID-as-capcode mode, a
// direct address (capcode digits, then type, rate and function), or an ID of the database.

#include "model/PagerDatabase.h"

#include <QByteArray>

namespace qpes {

struct PagerIdCheck {
    enum Outcome {
        Valid,
        BadCapcode,       // the "Invalid Capcode" box
        BadId,            // the "Invalid ID" box with `detail`
        ConversionFailed, // a number out of range in the ID or the families: no box of its own
    } outcome = Valid;
    QByteArray detail; // for BadId: one or two lines joined by CR
};

PagerIdCheck checkPagerId(const QByteArray& id, bool idAsCap, const FamilyTable& families,
                          const GroupTable& groups);

} // namespace qpes

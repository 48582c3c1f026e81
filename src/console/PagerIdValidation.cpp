#include "console/PagerIdValidation.h"

#include "platform/Dialogs.h"
#include "platform/Platform.h"

namespace qpes {

PagerIdCheck::Outcome ValidatePagerId(const QByteArray& id) {
    SharedState& s = shared();
    const PagerIdCheck check = checkPagerId(id, s.Db.Settings.IDAsCap, s.Db.Families, s.Db.Groups);
    if (check.outcome == PagerIdCheck::BadCapcode) {
        Dialogs::message(QStringLiteral("Pager ID as Capcode mode is active\r"
                                        "The Capcode value cannot include alpha characters\r"
                                        "or the following illegal Capcodes:\r\r0 through 8\r"
                                        "2007664 through 2007671\r2045056 through 2045063\r"
                                        "or greater than 2097143"),
                         Buttons::Ok, Icon::None, QStringLiteral("Invalid Capcode"));
        setBusy(false);
    } else if (check.outcome == PagerIdCheck::BadId) {
        s.PagerIdError = check.detail;
        Dialogs::message(QStringLiteral("Pager ID value is incorrect.\r") +
                             QString::fromLatin1(s.PagerIdError),
                         Buttons::Ok, Icon::None, QStringLiteral("Invalid ID"));
    }
    return check.outcome;
}

} // namespace qpes

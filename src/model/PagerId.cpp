#include "model/PagerId.h"

#include "model/Text.h"

namespace qpes {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

const char NumericDetail[] = "Expected Numeric Characters\rGot Alpha Characters";

PagerIdCheck badId(const QByteArray& detail) {
    return {PagerIdCheck::BadId, detail};
}

PagerIdCheck checkCapcode(const QByteArray& id) {
    const auto v = parseDigits(id);
    // parseDigits saturates, so any run of digits compares safely against the top limit.
    if (!v || *v <= 8 || *v > 2097143 || (*v >= 2045056 && *v <= 2045063) || (*v >= 2007664 && *v <= 2007671))
        return {PagerIdCheck::BadCapcode, {}};
    return {};
}

PagerIdCheck checkDirectAddress(const QByteArray& id) {
    const qsizetype n = id.size();
    const char type = id[n - 3];
    const char rate = id[n - 2];
    const char func = id[n - 1];
    if (!QByteArray("AaNn01").contains(type))
        return badId(QByteArray("Expected A, a, N, n, 0, or 1\rGot ") + type);
    if (!QByteArray("512").contains(rate))
        return badId(QByteArray("Expected 1, 2, or 5\rGot ") + rate);
    if (!QByteArray("01234").contains(func))
        return badId(QByteArray("Expected 0, 1, 2, 3, or 4\rGot ") + func);
    for (qsizetype i = 0; i < n - 3; ++i)
        if (!isDigit(id[i]))
            return badId(NumericDetail);
    return {};
}

PagerIdCheck checkDatabaseId(QByteArray id, const FamilyTable& families, const GroupTable& groups) {
    for (qsizetype i = 0; i < id.size(); ++i) {
        if (isDigit(id[i]))
            continue;
        const char suffix = char(QChar::toUpper(uchar(id[i])));
        if (i != id.size() - 1 || suffix < 'A' || suffix > 'D')
            return badId(NumericDetail);
        id.chop(1); // 12c is looked up as 12
    }
    for (const PagerFamily& f : families) {
        if (f[Fam::Defined] != "YES")
            continue;
        const auto qty = toInt16(f[Fam::PagerQty]);
        const auto start = toInt16(f[Fam::StartID]);
        if (!qty || !start || *start + *qty - 1 < -32768 || *start + *qty - 1 > 32767)
            return {PagerIdCheck::ConversionFailed, {}};
        if (*qty == 0)
            continue;
        const auto value = toInt16(id);
        if (!value)
            return {PagerIdCheck::ConversionFailed, {}};
        if (*value >= *start && *value <= *start + *qty - 1)
            return {};
    }
    for (const PagerGroup& g : groups)
        if (g[Grp::Defined] == "YES" && g[Grp::GroupID] == id)
            return {};
    return badId("Pager ID value not in current database");
}

} // namespace

PagerIdCheck checkPagerId(const QByteArray& id, bool idAsCap, const FamilyTable& families,
                          const GroupTable& groups) {
    if (idAsCap)
        return checkCapcode(id);
    if (id.size() >= 5)
        return checkDirectAddress(id);
    return checkDatabaseId(id, families, groups);
}

} // namespace qpes

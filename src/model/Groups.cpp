#include "model/Groups.h"

#include "model/Text.h"

#include <array>

namespace qpes {

const Trigger Triggers[3] = {
    {Grp::CCActive, Grp::CCMsg}, {Grp::COActive, Grp::COMsg}, {Grp::TimerActive, Grp::TimerMsg}};

std::optional<int> typedId(QByteArrayView text) {
    const auto value = parseDigits(text);
    if (!value || *value < 1 || *value > MaxId)
        return std::nullopt;
    return int(*value);
}

bool isSetId(QByteArrayView stored) {
    return typedId(stored).has_value();
}

bool hasMessage(QByteArrayView stored) {
    return typedId(stored).has_value();
}

bool anyPagerIdSet(const PagerGroup& group) {
    for (int j = Grp::PagerID1; j <= Grp::PagerID20; ++j)
        if (isSetId(group[j]))
            return true;
    return false;
}

QByteArray shownPagerId(const QByteArray& stored) {
    if (const auto id = typedId(stored))
        return QByteArray::number(*id);
    return parseDigits(stored) == 0 ? QByteArray() : stored;
}

QByteArray shownGroupId(const QByteArray& stored) {
    return parseDigits(stored) == 0 ? QByteArray() : stored;
}

QByteArray shownMessage(const QByteArray& stored) {
    return hasMessage(stored) ? stored : QByteArray("None");
}

bool completeOnActivation(const PagerGroup& group) {
    if (isSetId(group[Grp::GroupID]) && anyPagerIdSet(group))
        return true;
    for (const Trigger& t : Triggers)
        if (group[t.active] == "1")
            return hasMessage(group[t.message]);
    return false;
}

namespace {

// Gives an empty field its empty value; true when it did.
bool fillEmpty(QByteArray& field, const char* empty) {
    if (!field.isEmpty())
        return false;
    field = empty;
    return true;
}

bool assign(QByteArray& field, const QByteArray& value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

bool fillEmptyFields(PagerGroup& group) {
    bool changed = fillEmpty(group[Grp::GroupID], "0000");
    for (int j = Grp::PagerID1; j <= Grp::PagerID20; ++j)
        changed |= fillEmpty(group[j], "0000");
    changed |= fillEmpty(group[Grp::Active], "0");
    for (const Trigger& t : Triggers) {
        changed |= fillEmpty(group[t.active], "0");
        changed |= fillEmpty(group[t.message], "00");
    }
    return changed;
}

} // namespace

PassResult GroupsCompletenessPass(GroupTable& groups) {
    PassResult result;
    for (int g = 0; g < GroupCount; ++g) {
        PagerGroup& group = groups[g];
        if (group[Grp::Active] == "0")
            continue;
        PassChange change{g, {}};
        const bool members = anyPagerIdSet(group);
        bool complete = members && isSetId(group[Grp::GroupID]);
        for (int t = 0; t < 3; ++t) {
            if (group[Triggers[t].active] != "1")
                continue;
            if (hasMessage(group[Triggers[t].message])) {
                complete = complete || members;
            } else {
                group[Triggers[t].active] = "0";
                change.triggersOff.append(t);
                result.changed = true;
            }
        }
        if (complete) {
            result.changed |= assign(group[Grp::Defined], "YES");
            result.changed |= fillEmptyFields(group);
        } else {
            result.changed |= assign(group[Grp::Defined], QByteArray());
            result.incomplete = true;
        }
        if (!change.triggersOff.isEmpty())
            result.changes.append(change);
    }
    return result;
}

bool ResetUndefinedGroups(GroupTable& groups) {
    bool changed = false;
    for (PagerGroup& group : groups) {
        if (group[Grp::Defined] == "YES")
            continue;
        changed |= assign(group[Grp::GroupID], "0000");
        changed |= assign(group[Grp::Active], "0");
        for (const Trigger& t : Triggers) {
            changed |= assign(group[t.active], "0");
            changed |= assign(group[t.message], "00");
        }
        for (int j = Grp::PagerID1; j <= Grp::PagerID20; ++j)
            changed |= assign(group[j], "0000");
        changed |= assign(group[Grp::Defined], QByteArray());
        changed |= assign(group[Grp::Reference], QByteArray());
    }
    return changed;
}

std::optional<IdRange> familyRange(const PagerFamily& family) {
    if (family[Fam::Defined] != "YES" || family[Fam::Active] != "1")
        return std::nullopt;
    const auto start = parseDigits(family[Fam::StartID]);
    const auto quantity = parseDigits(family[Fam::PagerQty]);
    // Far beyond any pager ID; keeps the sum clear of overflow.
    constexpr qint64 Bound = 1'000'000'000;
    if (!start || !quantity || *quantity < 1 || *start > Bound)
        return std::nullopt;
    return IdRange{*start, *start + std::min(*quantity, Bound) - 1};
}

bool CheckGroupsDatabase(GroupTable& groups, const FamilyTable& families, const GroupsCheckHooks& hooks) {
    std::array<std::optional<IdRange>, FamilyCount> ranges;
    for (int f = 0; f < FamilyCount; ++f)
        ranges[f] = familyRange(families[f]);

    for (int g = 0; g < GroupCount; ++g) {
        if (hooks.cancelled())
            return false;
        hooks.visit(g, -1);
        PagerGroup& group = groups[g];
        if (group[Grp::Defined] != "YES" || group[Grp::Active] != "1")
            continue;
        for (int j = Grp::PagerID1; j <= Grp::PagerID20; ++j) {
            if (hooks.cancelled())
                return false;
            hooks.visit(g, j);
            if (group[j] == "0000")
                continue;
            const auto id = parseDigits(group[j]);
            bool covered = false;
            for (int f = 0; f < FamilyCount && !covered; ++f) {
                if (hooks.cancelled())
                    return false;
                covered = id && ranges[f] && *id >= ranges[f]->first && *id <= ranges[f]->last;
            }
            if (!covered) {
                group[j] = "0000";
                hooks.reset(g, j);
            }
        }
    }
    return true;
}

} // namespace qpes

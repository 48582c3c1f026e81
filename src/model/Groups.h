#pragma once
// The rules of the pager groups that need no window: what counts as a set ID or a chosen
// message, when a group is complete, the unload reset, and the groups database check that
// resets member pager IDs no defined, active family covers.

#include "model/PagerDatabase.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <functional>
#include <optional>

namespace qpes {

// The three triggers of a group, in the order every rule walks them.
struct Trigger {
    int active;  // Grp::CCActive, COActive or TimerActive
    int message; // Grp::CCMsg, COMsg or TimerMsg
};
extern const Trigger Triggers[3];

constexpr int MaxId = 32767;

// A group ID or pager ID as the user types it: digits only, value 1 to 32767. The text is
// stored exactly as typed ("007" stays "007"); anything else stores "0000".
std::optional<int> typedId(QByteArrayView text);
// A stored ID is set under the same rule; an empty text or one that is not digits is not.
bool isSetId(QByteArrayView stored);
// A message field names a message under the same rule as an ID: digits, value 1 to 32767. A
// number past the last canned message is kept and shown as stored.
bool hasMessage(QByteArrayView stored);
bool anyPagerIdSet(const PagerGroup& group);

// The cell texts of the groups grid: a set pager ID without its leading zeros, a group ID as
// stored; an ID of value 0 ("0000") shows nothing; any other text shows as stored.
QByteArray shownPagerId(const QByteArray& stored);
QByteArray shownGroupId(const QByteArray& stored);
// A message cell: the stored number, or "None" for a field that names no message.
QByteArray shownMessage(const QByteArray& stored);

// Switching a group on from the grid decides completeness on what is stored: an ID with a
// pager ID, else the first trigger that is on, complete when it has its message.
bool completeOnActivation(const PagerGroup& group);

// What the completeness pass did to one group.
struct PassChange {
    int group = 0;
    QList<int> triggersOff; // indices into Triggers switched off for want of a message
};
struct PassResult {
    bool incomplete = false; // some examined group is incomplete
    bool changed = false;    // some field changed
    QList<PassChange> changes;
};
// OK's completeness pass over every group that is not switched off ("0"): a trigger on without
// a message is switched off; a group with a pager ID and either its group ID or a trigger with
// a message is complete: Defined "YES", and its empty ID, switch and message fields get their
// empty values. Any other examined group loses Defined.
PassResult GroupsCompletenessPass(GroupTable& groups);

// On the editor's unload: every group not marked defined goes back to its empty values.
// Returns whether a field changed.
bool ResetUndefinedGroups(GroupTable& groups);

// A family's pager ID range when it covers any: defined, active, StartID and PagerQty numbers,
// quantity above 0.
struct IdRange {
    qint64 first = 0;
    qint64 last = 0;
};
std::optional<IdRange> familyRange(const PagerFamily& family);

// How the check reaches its window: every poll yields to it and says whether to stop; the
// current cell follows the check; a reset pager ID is shown.
struct GroupsCheckHooks {
    std::function<bool()> cancelled;
    std::function<void(int group, int field)> visit; // field -1: the group's column only
    std::function<void(int group, int field)> reset;
};
// Resets to "0000" each pager ID of a defined, active group that is not "0000" and that no
// family covers (a pager ID that is not a number is never covered). Polls once per group, per
// pager ID and per family examined. True when it ran to the end, false when cancelled.
bool CheckGroupsDatabase(GroupTable& groups, const FamilyTable& families, const GroupsCheckHooks& hooks);

} // namespace qpes

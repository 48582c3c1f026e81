#pragma once
// The families editor's rules without its window: what each grid cell shows, what a typed
// number stores, the function-code question, the completeness scan on OK and the families
// check that repairs capcodes and overlapping pager-ID ranges.

#include "model/PagerDatabase.h"

#include <QByteArray>
#include <QList>
#include <functional>
#include <optional>

namespace qpes {

// Grid columns of the families window (row g is family g, table row g - 1).
namespace FamCol {
enum Column {
    Active = 1,
    PagerQty,
    StartID,
    EndID,
    StartCap,
    EndCap,
    PgrType,
    Func,
    Rate,
    Prefix,
    Suffix,
    Count // with the row-label column
};
}

// The table field behind a grid column (-1 for the derived and label columns).
int familyField(int column);

// Cell texts. Empty where the cell shows nothing.
QByteArray qtyCellText(const QByteArray& qty);       // "012" shows 12
QByteArray startIdCellText(const QByteArray& start); // "0000" shows nothing
QByteArray startCapCellText(const QByteArray& cap);  // "0000000" shows nothing
// Start + quantity - 1, padded with "0" to the start text's length (End ID) or to 7 (End
// Capcode); empty when either is not a number.
QByteArray endIdText(const QByteArray& startId, const QByteArray& qty);
QByteArray endCapText(const QByteArray& startCap, const QByteArray& qty);
QByteArray pgrTypeCellText(const QByteArray& type); // "A" Alpha, anything else Numeric
QByteArray funcCellText(const QByteArray& func);    // stored code + 1; empty for another value
QByteArray rateCellText(const QByteArray& rate);    // "5" 512, "1" 1200, "2" 2400, else empty
QByteArray msgCellText(const QByteArray& msg);      // "00" None, "05" 5, "12" 12

// The prefix or suffix label: `word` ("Prefix:") alone when no message is chosen or the number
// names none, else `word`, a blank and the message's text; `shorten` cuts a text longer than
// 90 characters to its first 85 and "...".
QByteArray messageLabel(const char* word, const QByteArray& msg, const MessageTable& messages, bool shorten);

// What a text typed into the Pager Qty, Start ID or Start Capcode cell does.
struct TypedNumber {
    enum Kind { Empty, Comma, Rejected, Accepted } kind = Empty;
    QByteArray stored;       // the field's new text (Accepted, also an unset code for Empty)
    bool acceptable = false; // the value may stay as it is (not shown in magenta)
};
TypedNumber readTypedNumber(int column, const QByteArray& text);

// The question before a non-standard function code is stored.
struct FuncChoice {
    std::optional<QByteArray> store; // the code to store (after a Yes when `question` is set)
    QByteArray question;             // empty: no question
};
FuncChoice chooseFuncCode(const QByteArray& item, const QByteArray& pgrType);

// Fills a family with the values a new record starts with. `keepSetUp` keeps every value that
// is set (a family the user switched off and is now reviving).
void startTextRecord(PagerFamily& f, bool keepSetUp);
void startComboRecord(PagerFamily& f);

// A family that would go out to the encoder as a whole, sound record.
bool familyComplete(const PagerFamily& f);
// The OK button's scan: complete families become defined, the others are erased; the table
// rows switched off by the erasure are returned.
QList<int> scanFamilies(FamilyTable& families);

// The families check: sweeps until a sweep changes nothing. `sweepStart` runs as each sweep
// begins; `poll` runs before every step and returns true to stop (a cancel); `changed` reports
// a field the check rewrote (its table row, its field: StartCap, StartID or PagerQty); `row`
// reports the family under examination.
struct FamiliesCheckHooks {
    std::function<void()> sweepStart;
    std::function<bool()> poll;
    std::function<void(int row, int field)> changed;
    std::function<void(int row)> row;
};
struct FamiliesCheckResult {
    bool result = false; // true after a normal end, or a cancel before the sweep changed anything
    bool cancelled = false;
    bool adjusted = false; // some sweep changed a field
};
FamiliesCheckResult checkFamilies(FamilyTable& families, const FamiliesCheckHooks& hooks);

// Capcodes the encoder cannot use.
constexpr qint64 LowestCapcode = 8;
constexpr qint64 HighestCapcode = 2097143;
constexpr qint64 ReservedBlocks[2] = {2045056, 2007664}; // eight capcodes each, checked in this order

} // namespace qpes

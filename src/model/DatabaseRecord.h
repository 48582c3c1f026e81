#pragma once
// The encoder's database records: the texts that programming sends for each group, family and
// canned message, and the decoding of the encoder's replies when the database is read back.
// Pure text work over the tables; the link code does the talking.

#include "model/PagerDatabase.h"

#include <QByteArray>
#include <QList>
#include <optional>

namespace qpes {

// ---- Programming ----
// "L n" and the group's fields 0 to 27 as stored, or the filler "L n 0 0 0 0 0 0 0 0" for a
// group whose Defined is not exactly "YES".
QByteArray GroupRecord(const PagerGroup& group, int number);
// "G n" and the family's fields 0 to 8 as stored, or the filler "G n 0 8 5 A 0 0 0 0 0".
QByteArray FamilyRecord(const PagerFamily& family, int number);
// "M n" and the text between double quotes; a quote inside is sent as it is.
QByteArray MessageRecord(const QByteArray& text, int number);

// ---- Reading ----
// The value of a settings reply: the reply less its last two characters (empty when shorter).
QByteArray SettingValue(const QByteArray& reply);
// MaxBatch and DutyCycle: the value as a whole number written back as text ("010" gives "10");
// nullopt when it is not a number, and the setting keeps its old text.
std::optional<QByteArray> WholeNumberText(const QByteArray& value);
// A switch query's value: on when it is "1".
bool SwitchOn(const QByteArray& value);
// The data polarity query alone: on when the value is anything but "0".
bool InvertDataOn(const QByteArray& value);

// The encoder's TAP prompt in a reply fails the step. In a message record the quoted text is
// the user's own, so only what lies outside the quotes is searched.
bool HoldsTapPrompt(const QByteArray& reply, bool messageRecord = false);

// A record reply's words: the reply less its last two characters, cut at blanks. Word n
// (counting from 1) is element n - 1; field i of the record is word i + 3.
QList<QByteArray> RecordWords(const QByteArray& reply);

// Fields 0 to 27 from the words (a missing word leaves its field as it was); Defined "YES".
void StoreGroupReply(PagerGroup& group, const QList<QByteArray>& words);

// An older encoder answers a family request with three words only.
bool IsOlderEncoderReply(const QList<QByteArray>& words);
// The settings an older encoder works with (it cannot report them).
void ApplyOlderEncoderSettings(EncoderSettings& settings);
// Fields 0 to 8 from the words, StartID trimmed, then Defined: empty for an empty family
// (Active "0" and PagerQty "000", StartCap then "0000000"), "YES" otherwise. An older
// encoder's reply sets only StartCap "0000000" and Defined "YES".
void StoreFamilyReply(PagerFamily& family, const QList<QByteArray>& words);
// A StartID of 1 or more written with leading zeros loses zeros while it is longer than three
// characters ("0012" gives "012", "01234" gives "1234"); anything else is kept.
QByteArray TrimStartId(const QByteArray& startId);

// The text of a message reply: what follows its first double quote, less the closing quote and
// CR LF; a reply of 8 characters ("M 3 " and two quotes, CR LF) is an empty message.
QByteArray MessageFromReply(const QByteArray& reply);

} // namespace qpes

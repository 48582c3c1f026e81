#include "model/DatabaseRecord.h"

#include "model/Tap.h"
#include "model/Text.h"

namespace qpes {

namespace {

QByteArray head(char letter, int number) {
    return letter + (' ' + QByteArray::number(number));
}

bool isDefined(const QByteArray& marker) {
    return marker == "YES";
}

} // namespace

// Fields go out as stored, so an empty one leaves two blanks; only CR and LF are taken out,
// as they would end the TAP block's message field early.
QByteArray GroupRecord(const PagerGroup& group, int number) {
    QByteArray record = head('L', number);
    if (!isDefined(group[Grp::Defined]))
        return record + " 0 0 0 0 0 0 0 0";
    for (int i = Grp::GroupID; i <= Grp::PagerID20; ++i)
        record += ' ' + group[i];
    return singleLine(record);
}

QByteArray FamilyRecord(const PagerFamily& family, int number) {
    QByteArray record = head('G', number);
    if (!isDefined(family[Fam::Defined]))
        return record + " 0 8 5 A 0 0 0 0 0";
    for (int i = Fam::Active; i <= Fam::Suffix; ++i)
        record += ' ' + family[i];
    return singleLine(record);
}

QByteArray MessageRecord(const QByteArray& text, int number) {
    return head('M', number) + " \"" + singleLine(text) + '"';
}

QByteArray SettingValue(const QByteArray& reply) {
    return reply.size() >= 2 ? reply.chopped(2) : QByteArray();
}

std::optional<QByteArray> WholeNumberText(const QByteArray& value) {
    const auto n = toInt16(value);
    if (!n)
        return std::nullopt;
    return QByteArray::number(*n);
}

bool SwitchOn(const QByteArray& value) {
    return value == "1";
}

bool InvertDataOn(const QByteArray& value) {
    return value != "0";
}

bool HoldsTapPrompt(const QByteArray& reply, bool messageRecord) {
    if (messageRecord) {
        const qsizetype open = reply.indexOf('"');
        const qsizetype close = reply.lastIndexOf('"');
        if (open >= 0 && close > open)
            return reply.left(open).contains(TapPrompt) || reply.mid(close + 1).contains(TapPrompt);
    }
    return reply.contains(TapPrompt);
}

QList<QByteArray> RecordWords(const QByteArray& reply) {
    return SplitFields(SettingValue(reply), ' ');
}

void StoreGroupReply(PagerGroup& group, const QList<QByteArray>& words) {
    for (int i = Grp::GroupID; i <= Grp::PagerID20; ++i)
        if (i + 2 < words.size())
            group[i] = words[i + 2];
    group[Grp::Defined] = "YES";
}

bool IsOlderEncoderReply(const QList<QByteArray>& words) {
    return words.size() == 3;
}

void ApplyOlderEncoderSettings(EncoderSettings& settings) {
    settings.DutyCycle = "50";
    settings.MaxBatch = "10";
    settings.IgnoreRFCD = false;
    settings.PPHReset = true;
    settings.InvertData = false;
    settings.IDAsCap = false;
    settings.BriefACK = false;
    settings.InvertRFCD = true;
    settings.FlowBeforeACK = false;
}

void StoreFamilyReply(PagerFamily& family, const QList<QByteArray>& words) {
    if (IsOlderEncoderReply(words)) {
        family[Fam::StartCap] = "0000000";
        family[Fam::Defined] = "YES";
        return;
    }
    for (int i = Fam::Active; i <= Fam::Suffix; ++i) {
        if (i + 2 >= words.size())
            continue;
        family[i] = i == Fam::StartID ? TrimStartId(words[i + 2]) : words[i + 2];
    }
    if (family[Fam::Active] == "0" && family[Fam::PagerQty] == "000") {
        family[Fam::StartCap] = "0000000";
        family[Fam::Defined].clear();
    } else {
        family[Fam::Defined] = "YES";
    }
}

QByteArray TrimStartId(const QByteArray& startId) {
    const auto n = parseNumber(startId);
    if (!n || *n < 1)
        return startId;
    QByteArray id = startId;
    while (id.size() > 3 && id.startsWith('0'))
        id.remove(0, 1);
    return id;
}

QByteArray MessageFromReply(const QByteArray& reply) {
    if (reply.size() == 8)
        return QByteArray();
    const qsizetype start = reply.indexOf('"') + 1; // 0 when there is no quote
    const qsizetype length = reply.size() - 3 - start;
    return length > 0 ? reply.mid(start, length) : QByteArray();
}

} // namespace qpes

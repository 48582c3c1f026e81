#include "model/DatabaseFile.h"

#include "model/Text.h"

namespace qpes {

namespace {

const char* const CRLF = "\r\n";

QByteArray switchValue(bool on) {
    return on ? "1" : "0";
}

// The text after the first comma, or the whole line when it holds none.
QByteArray valueOf(const QByteArray& line) {
    const qsizetype comma = line.indexOf(',');
    return comma < 0 ? line : line.mid(comma + 1);
}

// Splits a table line's values into at most `limit` parts; the last part keeps any further
// commas. A value present in the line is stored even when empty; values the line does not
// carry leave their fields alone.
QList<QByteArray> splitValues(const QByteArray& values, int limit) {
    QList<QByteArray> parts;
    qsizetype from = 0;
    while (parts.size() < limit - 1) {
        const qsizetype comma = values.indexOf(',', from);
        if (comma < 0)
            break;
        parts.append(values.mid(from, comma - from));
        from = comma + 1;
    }
    parts.append(values.mid(from));
    return parts;
}

void readFamilyLine(const QByteArray& line, bool atStartup, PagerFamily& family) {
    // One part more than the nine fields, so that values beyond Suffix are cut off, not kept in it.
    const QList<QByteArray> parts = splitValues(valueOf(line), Fam::Defined + 1);
    for (int j = 0; j < parts.size() && j < Fam::Defined; ++j)
        family[j] = parts[j];
    // A short StartID followed by more values gets its leading zeros back on Open.
    if (!atStartup && parts.size() > Fam::StartID + 1 && !parts[Fam::StartID].isEmpty())
        family[Fam::StartID] = zeroFill(family[Fam::StartID], 3);
    if (family[Fam::Active] == "1")
        family[Fam::Defined] = "YES";
}

void readGroupLine(const QByteArray& line, bool atStartup, PagerGroup& group) {
    constexpr int carried = Grp::PagerID20 + 1; // GroupID .. PagerID20
    const QList<QByteArray> parts = splitValues(valueOf(line), carried + 1);
    for (int j = 0; j < parts.size() && j < carried; ++j)
        group[j] = parts[j];
    if (parts.size() > carried)
        group[Grp::Reference] = parts[carried];

    const QByteArray& id = group[Grp::GroupID];
    bool defined;
    if (id.isEmpty()) {
        defined = false;
    } else if (atStartup) {
        const auto n = toInt16(id);
        defined = !n || *n > 0;
    } else {
        defined = id != "0000";
    }
    if (defined)
        group[Grp::Defined] = "YES";
}

QByteArray notesOf(const QByteArray& line) {
    const qsizetype p = line.indexOf(',') + 1; // 1-based, 0 when there is none
    const qsizetype count = line.size() - p - 2;
    if (count < 0)
        return line;
    return line.mid(p + 1, count);
}

} // namespace

QList<QByteArray> splitFileLines(const QByteArray& content) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < content.size()) {
        const char c = content[i];
        if (c == '\r' || c == '\n') {
            lines.append(content.mid(start, i - start));
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < content.size())
        lines.append(content.mid(start));
    return lines;
}

// Every field is written through singleLine: whatever its source (a file, the encoder, typing),
// a CR or LF inside it would split its line and shift every line after it.
QByteArray WriteDatabaseFile(const PagerDatabase& db, const QByteArray& notes) {
    QByteArray out;
    for (int n = 0; n < FamilyCount; ++n) {
        const PagerFamily& f = db.Families[n];
        out += "Fam" + QByteArray::number(n + 1);
        for (int j = 0; j < Fam::Defined; ++j)
            out += ',' + singleLine(f[j]);
        out += CRLF;
    }
    for (int n = 0; n < GroupCount; ++n) {
        const PagerGroup& g = db.Groups[n];
        out += "Grp" + QByteArray::number(n + 1);
        for (int j = 0; j <= Grp::PagerID20; ++j)
            out += ',' + singleLine(g[j]);
        out += ',' + singleLine(g[Grp::Reference]) + CRLF;
    }
    for (int n = 0; n < MessageCount; ++n)
        out += "Msg" + QByteArray::number(n + 1) + ',' + singleLine(db.Messages[n]) + CRLF;
    const EncoderSettings& e = db.Settings;
    out += "DutyCycle," + singleLine(e.DutyCycle) + CRLF;
    out += "MaxBatch," + singleLine(e.MaxBatch) + CRLF;
    out += "IgnoreRFCD," + switchValue(e.IgnoreRFCD) + CRLF;
    out += "PPHReset," + switchValue(e.PPHReset) + CRLF;
    out += "InvertData," + switchValue(e.InvertData) + CRLF;
    out += "IDAsCap," + switchValue(e.IDAsCap) + CRLF;
    out += "InvertRFCD," + switchValue(e.InvertRFCD) + CRLF;
    out += "BriefACK," + switchValue(e.BriefACK) + CRLF;
    out += "FlowBeforeACK," + switchValue(e.FlowBeforeACK) + CRLF;
    out += "Notes,\"" + singleLine(notes) + "\"" + CRLF;
    return out;
}

DatabaseFileRead ReadDatabaseFile(const QByteArray& content, bool atStartup, PagerDatabase& db,
                                  QByteArray& notes) {
    DatabaseFileRead result;
    EncoderSettings& e = db.Settings;
    int c = 0;
    for (const QByteArray& line : splitFileLines(content)) {
        const QByteArray value = valueOf(line);
        const bool on = value == "1";
        if (line.startsWith("Fam")) {
            if (c < FamilyCount)
                readFamilyLine(line, atStartup, db.Families[c]);
        } else if (line.startsWith("Grp")) {
            if (c >= 50 && c - 50 < GroupCount)
                readGroupLine(line, atStartup, db.Groups[c - 50]);
        } else if (line.startsWith("Msg")) {
            if (c >= 60 && c - 60 < MessageCount)
                db.Messages[c - 60] = value;
        } else if (line.startsWith("Dut")) {
            e.DutyCycle = value;
        } else if (line.startsWith("Max")) {
            e.MaxBatch = value;
        } else if (line.startsWith("Ign")) {
            e.IgnoreRFCD = on;
        } else if (line.startsWith("PPH")) {
            e.PPHReset = on;
        } else if (line.startsWith("InvertD")) {
            e.InvertData = on;
        } else if (line.startsWith("IDA")) {
            e.IDAsCap = on;
            result.idAsCapSeen = true;
        } else if (line.startsWith("InvertR")) {
            e.InvertRFCD = on;
        } else if (line.startsWith("Not")) {
            notes = notesOf(line);
        } else if (line.startsWith("Bri")) {
            e.BriefACK = on;
        } else if (line.startsWith("Flow")) {
            e.FlowBeforeACK = on;
        }
        ++c;
    }
    return result;
}

} // namespace qpes

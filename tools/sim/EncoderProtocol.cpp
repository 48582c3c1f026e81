#include "sim/EncoderProtocol.h"

#include "model/DatabaseFile.h"
#include "model/Text.h"

namespace sim {

namespace {

constexpr char STX = 2;
constexpr char ETX = 3;
constexpr char CR = 13;
constexpr char LF = 10;
constexpr char ESC = 27;

const QByteArray CRLF = "\r\n";
const QByteArray Ack = "\x06\r";
const QByteArray Nak = "\x15\r";
const QByteArray Stored = "\x1e\r";
const QByteArray Unknown = "ERROR\r\n";

// The options the encoder knows, with the values of a new encoder.
const std::array<std::pair<const char*, const char*>, 10> SettingDefaults = {{
    {"maxbatch", "10"},
    {"dutycycle", "50"},
    {"pphreset", "1"},
    {"ignorerfcd", "0"},
    {"pet", "0"},
    {"invertrfcd", "1"},
    {"invertdata", "0"},
    {"briefack", "0"},
    {"altfc", "1"},
    {"idascap", "0"},
}};

// Empty values of a new database, field by field.
const char* const GroupEmpty[qpes::Grp::PagerID1] = {"0000", "0", "0", "00", "0", "00", "0", "00"};
const char* const FamilyEmpty[qpes::Fam::Defined] = {"0",   "0000000", "5",  "A", "3",
                                                     "000", "0000",    "00", "00"};
const QByteArray FamilyFiller = "0 8 5 A 0 0 0 0 0";

QByteArray groupEmpty(int field) {
    return field < qpes::Grp::PagerID1 ? GroupEmpty[field] : "0000";
}

// A record number as the program writes it: decimal, no sign, blank or leading zero.
std::optional<int> recordNumber(QByteArrayView text, int count) {
    if (text.isEmpty() || text.size() > 2 || text[0] == '0')
        return std::nullopt;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n > count)
        return std::nullopt;
    return n;
}

int countFor(char letter) {
    switch (letter) {
    case 'L':
        return qpes::GroupCount;
    case 'G':
        return qpes::FamilyCount;
    case 'M':
        return qpes::MessageCount;
    default:
        return 0;
    }
}

// The field words after the record letter and number; empty words are kept, so a record with
// an empty field keeps its positions.
QList<QByteArray> recordFields(const QByteArray& record) {
    const qsizetype afterLetter = record.indexOf(' ');
    const qsizetype afterNumber = afterLetter < 0 ? -1 : record.indexOf(' ', afterLetter + 1);
    if (afterNumber < 0)
        return {};
    return record.mid(afterNumber + 1).split(' ');
}

QByteArray messageText(const QByteArray& record) {
    const qsizetype open = record.indexOf('"');
    if (open < 0 || !record.endsWith('"') || record.size() - open < 2)
        return {};
    return record.mid(open + 1, record.size() - open - 2);
}

QByteArray rateText(const QByteArray& code) {
    if (code == "5")
        return "512";
    if (code == "1")
        return "1200";
    if (code == "2")
        return "2400";
    return code;
}

bool matchesKey(const QByteArray& text, const QByteArray& key) {
    return text == key || (text.startsWith(key) && text.size() > key.size() && text[key.size()] == ' ');
}

} // namespace

std::optional<Mode> modeFromName(QByteArrayView name) {
    static const std::pair<const char*, Mode> names[] = {
        {"tap", Mode::Tap},     {"quillmar", Mode::Quillmar}, {"comp1", Mode::Comp1},
        {"comp2", Mode::Comp2}, {"pet", Mode::Pet},           {"silent", Mode::Silent},
    };
    for (const auto& [text, mode] : names) {
        if (name == QByteArrayView(text))
            return mode;
    }
    return std::nullopt;
}

QByteArray tapChecksum(QByteArrayView stxToEtx) {
    int sum = 0;
    for (char c : stxToEtx)
        sum += static_cast<unsigned char>(c);
    QByteArray digits;
    digits += char('0' + (sum >> 8 & 15));
    digits += char('0' + (sum >> 4 & 15));
    digits += char('0' + (sum & 15));
    return digits;
}

QByteArray tapBlock(const QByteArray& id, const QByteArray& message) {
    const QByteArray block = STX + id + CR + message + CR + ETX;
    return block + tapChecksum(block) + CR;
}

std::optional<EncoderProtocol::Framer::Frame> EncoderProtocol::Framer::feed(char c) {
    if (m_inBlock) {
        if (c == STX) { // a new block abandons the broken one
            Frame broken{Kind::Fragment, m_buf};
            m_buf = QByteArray(1, STX);
            m_afterEtx = -1;
            return broken;
        }
        m_buf += c;
        if (m_afterEtx >= 0)
            ++m_afterEtx;
        else if (c == ETX)
            m_afterEtx = 0;
        if (m_afterEtx < 4) // three checksum characters and CR
            return std::nullopt;
        m_inBlock = false;
        m_afterEtx = -1;
        m_lastWasCr = true;
        return Frame{Kind::Block, std::exchange(m_buf, {})};
    }
    if (c == LF && m_lastWasCr && m_buf.isEmpty()) {
        m_lastWasCr = false;
        return Frame{Kind::LineFeed, QByteArray(1, LF)};
    }
    m_lastWasCr = false;
    if (c == STX) {
        m_inBlock = true;
        std::optional<Frame> abandoned;
        if (!m_buf.isEmpty())
            abandoned = Frame{Kind::Fragment, m_buf};
        m_buf = QByteArray(1, STX);
        return abandoned;
    }
    m_buf += c;
    if (c != CR)
        return std::nullopt;
    m_lastWasCr = true;
    return Frame{Kind::Line, std::exchange(m_buf, {})};
}

QList<QByteArray> splitCommands(const QByteArray& stream) {
    using Kind = EncoderProtocol::Framer::Kind;
    EncoderProtocol::Framer framer;
    QList<QByteArray> commands;
    for (char c : stream) {
        const auto frame = framer.feed(c);
        if (!frame)
            continue;
        if (frame->kind == Kind::LineFeed && !commands.isEmpty())
            commands.last() += frame->bytes;
        else
            commands.append(frame->bytes);
    }
    if (!framer.pending().isEmpty())
        commands.append(framer.pending());
    return commands;
}

EncoderProtocol::EncoderProtocol() {
    for (const auto& [name, value] : SettingDefaults)
        m_settings[name] = value;
    for (int n = 1; n <= qpes::GroupCount; ++n) {
        QByteArray r = "L " + QByteArray::number(n);
        for (int j = 0; j <= qpes::Grp::PagerID20; ++j)
            r += ' ' + groupEmpty(j);
        m_groups[n - 1] = r;
    }
    for (int n = 1; n <= qpes::FamilyCount; ++n) {
        QByteArray r = "G " + QByteArray::number(n);
        for (const char* value : FamilyEmpty)
            r += QByteArray(" ") + value;
        m_families[n - 1] = r;
    }
    for (int n = 1; n <= qpes::MessageCount; ++n)
        m_messages[n - 1] = "M " + QByteArray::number(n) + " \"\"";
}

QList<Exchange> EncoderProtocol::receive(QByteArrayView bytes) {
    using Kind = Framer::Kind;
    QList<Exchange> exchanges;
    for (char c : bytes) {
        const auto frame = m_framer.feed(c);
        if (frame && (frame->kind == Kind::Line || frame->kind == Kind::Block))
            exchanges.append({frame->bytes, answer(frame->bytes)});
    }
    return exchanges;
}

void EncoderProtocol::resetInput() {
    m_framer.reset();
}

QByteArray EncoderProtocol::answer(const QByteArray& frame) {
    if (options.silenceAfterReplies >= 0 && m_replies >= options.silenceAfterReplies)
        return {};
    QByteArray text = frame.chopped(1);
    if (frame.startsWith(STX)) { // the key of a block is its message
        const qsizetype idEnd = frame.indexOf(CR);
        const qsizetype etx = frame.lastIndexOf(ETX);
        text = idEnd > 0 && etx > idEnd + 1 ? frame.mid(idEnd + 1, etx - idEnd - 2) : QByteArray();
    }
    QByteArray reply;
    bool overridden = false;
    for (const auto& [key, override] : options.replyOverrides) {
        if (matchesKey(text, key)) {
            reply = override;
            overridden = true;
            break;
        }
    }
    if (!overridden)
        reply = frame.startsWith(STX) ? answerBlock(frame) : answerLine(text);
    if (reply.isEmpty())
        return {};
    ++m_replies;
    return options.junkBeforeReply + reply;
}

QByteArray EncoderProtocol::answerLine(const QByteArray& line) {
    switch (options.mode) {
    case Mode::Silent:
        return {};
    case Mode::Comp1:
        return "COMP1>";
    case Mode::Comp2:
        return "COMP2>";
    case Mode::Pet:
        return "INVALID\r\n";
    case Mode::Quillmar:
        return line == "ATI" ? options.banner + CRLF + "Encoder>" : QByteArray("Encoder>");
    case Mode::Tap:
        break;
    }
    if (line.isEmpty())
        return "ID=";
    if (line == "ATI")
        return options.banner + CRLF;
    if (line.startsWith(ESC + QByteArray("PG1"))) {
        m_loggedIn = true;
        return "110 1.8\r\n" + QByteArray("Quillmar Paging Encoder Ready\r") + Ack + ESC + "[p\r";
    }
    if (line.startsWith("LOOKUP "))
        return lookup(line.mid(7));
    if (line == "TEST512" || line == "TEST1200" || line == "TEST2400")
        return {}; // the transmitter keys up; nothing is said
    if (line.startsWith("config ") || line.startsWith("CONFIG "))
        return answerConfig(line);
    return Unknown;
}

QByteArray EncoderProtocol::answerConfig(const QByteArray& line) {
    // The program writes the ID-as-capcode commands in both cases, every other one in small
    // letters only.
    if (line.toLower().startsWith("config idascap")) {
        const QByteArray rest = line.mid(14);
        if (rest == "?")
            return m_settings["idascap"] + CRLF;
        if (rest == " 0" || rest == " 1") {
            m_settings["idascap"] = rest.mid(1);
            return "IDASCAP option updated\r\n";
        }
        return Unknown;
    }
    if (!line.startsWith("config "))
        return Unknown;
    const QByteArray rest = line.mid(7);
    const bool query = rest.endsWith('?');
    const qsizetype blank = rest.indexOf(' ');
    const QByteArray name = query ? rest.chopped(1) : rest.left(blank);
    if (name == "idascap" || !m_settings.contains(name) || (!query && blank < 0))
        return Unknown;
    const bool unknownPet = name == "pet" && !options.petSupported;
    if (query)
        return unknownPet ? QByteArray("\x1e") : m_settings[name] + CRLF;
    if (!unknownPet)
        m_settings[name] = rest.mid(blank + 1);
    return name == "pet" ? QByteArray(1, CR) : CRLF;
}

QByteArray EncoderProtocol::answerBlock(const QByteArray& block) {
    const qsizetype etx = block.lastIndexOf(ETX);
    const qsizetype idEnd = block.indexOf(CR);
    const bool wellFormed = etx >= 0 && block.size() == etx + 5 && block.endsWith(CR) && idEnd > 0 &&
                            idEnd < etx - 1 && block[etx - 1] == CR;
    if (!wellFormed || block.mid(etx + 1, 3) != tapChecksum(QByteArrayView(block).first(etx + 1)))
        return Nak;
    if (options.mode != Mode::Tap)
        return {};
    const QByteArray id = block.mid(1, idEnd - 1);
    const QByteArray message = block.mid(idEnd + 1, etx - idEnd - 2);
    if (id == DatabaseReadId)
        return readRecord(message);
    if (id == DatabaseWriteId)
        return setRecord(message) ? Stored : Nak;
    if (options.requireLogin && !m_loggedIn)
        return {};
    return m_settings["briefack"] == "1" ? CR + Ack : "211\r" + Ack;
}

namespace {
struct RecordAddress {
    char letter;
    int number;
};

// "L 3", or with `withFields` "L 3 " and the fields: the record letter and a number in range.
std::optional<RecordAddress> recordAddress(const QByteArray& text, bool withFields) {
    if (text.size() < 3 || text[1] != ' ')
        return std::nullopt;
    const qsizetype end = withFields ? text.indexOf(' ', 2) : text.size();
    if (end < 0)
        return std::nullopt;
    const auto n = recordNumber(QByteArrayView(text).sliced(2, end - 2), countFor(text[0]));
    if (!n)
        return std::nullopt;
    return RecordAddress{text[0], *n};
}
} // namespace

QByteArray& EncoderProtocol::slot(char letter, int n) {
    if (letter == 'L')
        return m_groups[n - 1];
    if (letter == 'G')
        return m_families[n - 1];
    return m_messages[n - 1];
}

QByteArray EncoderProtocol::readRecord(const QByteArray& request) {
    const auto address = recordAddress(request, false);
    if (!address)
        return Unknown;
    const QByteArray& record = slot(address->letter, address->number);
    if (options.olderEncoder && address->letter == 'G') {
        const QByteArray active = recordFields(record).value(qpes::Fam::Active);
        return request + ' ' + (active.isEmpty() ? QByteArray("0") : active) + CRLF;
    }
    return record + CRLF;
}

bool EncoderProtocol::setRecord(const QByteArray& record) {
    const auto address = recordAddress(record, true);
    if (!address)
        return false;
    if (address->letter == 'M') {
        const qsizetype open = record.indexOf(' ', 2) + 1;
        if (record.indexOf('"') != open || !record.endsWith('"') || record.size() - open < 2)
            return false;
    }
    slot(address->letter, address->number) = record;
    return true;
}

QByteArray EncoderProtocol::lookup(const QByteArray& id) const {
    const auto n = qpes::parseNumber(id);
    const QByteArray head = "ID " + id;
    if (!n || *n < 1)
        return head + " not found\r\n";
    for (int g = 0; g < qpes::GroupCount; ++g) {
        if (qpes::parseNumber(recordFields(m_groups[g]).value(qpes::Grp::GroupID)) == n)
            return head + " list " + QByteArray::number(g + 1) + CRLF;
    }
    for (const QByteArray& record : m_families) {
        const QList<QByteArray> f = recordFields(record);
        const auto start = qpes::parseNumber(f.value(qpes::Fam::StartID));
        const auto qty = qpes::parseNumber(f.value(qpes::Fam::PagerQty));
        const auto cap = qpes::parseNumber(f.value(qpes::Fam::StartCap));
        const auto func = qpes::parseNumber(f.value(qpes::Fam::Func));
        if (f.value(qpes::Fam::Active) != "1" || !start || !qty || !cap || *n < *start || *n >= *start + *qty)
            continue;
        const int bits = func ? int(*func & 3) : 0;
        return head + " capcode " + qpes::zeroFill(QByteArray::number(*cap + *n - *start), 7) +
               " msg enc:" + f.value(qpes::Fam::PgrType) + " baud:" + rateText(f.value(qpes::Fam::Rate)) +
               " func bits:" + QByteArray::number(bits >> 1) + QByteArray::number(bits & 1) + CRLF;
    }
    return head + " not found\r\n";
}

QByteArray EncoderProtocol::groupRecord(int n) const {
    return m_groups.at(n - 1);
}
QByteArray EncoderProtocol::familyRecord(int n) const {
    return m_families.at(n - 1);
}
QByteArray EncoderProtocol::messageRecord(int n) const {
    return m_messages.at(n - 1);
}

QByteArray EncoderProtocol::setting(const QByteArray& name) const {
    const auto it = m_settings.find(name);
    return it == m_settings.end() ? QByteArray() : it->second;
}

void EncoderProtocol::setSetting(const QByteArray& name, const QByteArray& value) {
    m_settings[name] = value;
}

void EncoderProtocol::loadDatabase(const qpes::PagerDatabase& db) {
    for (int n = 1; n <= qpes::GroupCount; ++n) {
        const qpes::PagerGroup& g = db.Groups[n - 1];
        QByteArray r = "L " + QByteArray::number(n);
        for (int j = 0; j <= qpes::Grp::PagerID20; ++j)
            r += ' ' + (g[j].isEmpty() ? groupEmpty(j) : g[j]);
        m_groups[n - 1] = r;
    }
    for (int n = 1; n <= qpes::FamilyCount; ++n) {
        const qpes::PagerFamily& f = db.Families[n - 1];
        QByteArray r = "G " + QByteArray::number(n);
        for (int j = 0; j < qpes::Fam::Defined; ++j)
            r += ' ' + (f[j].isEmpty() ? QByteArray(FamilyEmpty[j]) : f[j]);
        m_families[n - 1] = r;
    }
    for (int n = 1; n <= qpes::MessageCount; ++n)
        m_messages[n - 1] = "M " + QByteArray::number(n) + " \"" + qpes::singleLine(db.Messages[n - 1]) + '"';
    const qpes::EncoderSettings& e = db.Settings;
    const auto flag = [](bool on) { return on ? QByteArray("1") : QByteArray("0"); };
    m_settings["dutycycle"] = e.DutyCycle;
    m_settings["maxbatch"] = e.MaxBatch;
    m_settings["ignorerfcd"] = flag(e.IgnoreRFCD);
    m_settings["pphreset"] = flag(e.PPHReset);
    m_settings["invertdata"] = flag(e.InvertData);
    m_settings["idascap"] = flag(e.IDAsCap);
    m_settings["invertrfcd"] = flag(e.InvertRFCD);
    m_settings["briefack"] = flag(e.BriefACK);
    m_settings["altfc"] = flag(e.FlowBeforeACK);
    m_settings["pet"] = flag(e.PETEnabled);
}

void EncoderProtocol::loadDatabaseFile(const QByteArray& content) {
    qpes::PagerDatabase db = EncoderProtocol().exportDatabase();
    db.Settings.PETEnabled = setting("pet") == "1";
    QByteArray notes;
    qpes::ReadDatabaseFile(content, false, db, notes);
    loadDatabase(db);
}

qpes::PagerDatabase EncoderProtocol::exportDatabase() const {
    qpes::PagerDatabase db;
    for (int g = 0; g < qpes::GroupCount; ++g) {
        const QList<QByteArray> words = recordFields(m_groups[g]);
        for (int j = 0; j <= qpes::Grp::PagerID20 && j < words.size(); ++j)
            db.Groups[g][j] = words[j];
        if (words.size() == qpes::Grp::PagerID20 + 1)
            db.Groups[g][qpes::Grp::Defined] = "YES";
    }
    for (int f = 0; f < qpes::FamilyCount; ++f) {
        const QList<QByteArray> words = recordFields(m_families[f]);
        qpes::PagerFamily& family = db.Families[f];
        for (int j = 0; j < qpes::Fam::Defined && j < words.size(); ++j)
            family[j] = words[j];
        const bool empty = family[qpes::Fam::Active] == "0" && family[qpes::Fam::PagerQty] == "000";
        const bool filler = words.join(' ') == FamilyFiller;
        if (words.size() == qpes::Fam::Defined && !empty && !filler)
            family[qpes::Fam::Defined] = "YES";
    }
    for (int m = 0; m < qpes::MessageCount; ++m)
        db.Messages[m] = messageText(m_messages[m]);
    qpes::EncoderSettings& e = db.Settings;
    const auto on = [this](const char* name) { return setting(name) == "1"; };
    e.DutyCycle = setting("dutycycle");
    e.MaxBatch = setting("maxbatch");
    e.IgnoreRFCD = on("ignorerfcd");
    e.PPHReset = on("pphreset");
    e.InvertData = on("invertdata");
    e.IDAsCap = on("idascap");
    e.InvertRFCD = on("invertrfcd");
    e.BriefACK = on("briefack");
    e.FlowBeforeACK = on("altfc");
    e.PETEnabled = on("pet");
    e.PETSupported = options.petSupported;
    return db;
}

} // namespace sim

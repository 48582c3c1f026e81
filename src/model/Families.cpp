#include "model/Families.h"

#include "model/Text.h"

namespace qpes {

int familyField(int column) {
    switch (column) {
    case FamCol::Active:
        return Fam::Active;
    case FamCol::PagerQty:
        return Fam::PagerQty;
    case FamCol::StartID:
        return Fam::StartID;
    case FamCol::StartCap:
        return Fam::StartCap;
    case FamCol::PgrType:
        return Fam::PgrType;
    case FamCol::Func:
        return Fam::Func;
    case FamCol::Rate:
        return Fam::Rate;
    case FamCol::Prefix:
        return Fam::Prefix;
    case FamCol::Suffix:
        return Fam::Suffix;
    default:
        return -1;
    }
}

QByteArray qtyCellText(const QByteArray& qty) {
    // A quantity that is no number (a hand-edited file) is shown as it stands.
    const auto n = parseDigits(qty);
    return n ? QByteArray::number(*n) : qty;
}

QByteArray startIdCellText(const QByteArray& start) {
    return start == "0000" ? QByteArray() : start;
}

QByteArray startCapCellText(const QByteArray& cap) {
    return cap == "0000000" ? QByteArray() : cap;
}

namespace {
// Larger digit runs are left out of the arithmetic so that sums cannot overflow.
constexpr qint64 LargestNumber = 999999999999;

QByteArray endText(const QByteArray& start, const QByteArray& qty, int width) {
    const auto s = parseDigits(start);
    const auto q = parseDigits(qty);
    if (!s || !q || *s > LargestNumber || *q > LargestNumber)
        return {};
    return zeroFill(QByteArray::number(*s + *q - 1), width);
}
} // namespace

QByteArray endIdText(const QByteArray& startId, const QByteArray& qty) {
    return endText(startId, qty, int(startId.size()));
}

QByteArray endCapText(const QByteArray& startCap, const QByteArray& qty) {
    return endText(startCap, qty, 7);
}

QByteArray pgrTypeCellText(const QByteArray& type) {
    return type == "A" ? "Alpha" : "Numeric";
}

QByteArray funcCellText(const QByteArray& func) {
    if (func.size() == 1 && func[0] >= '0' && func[0] <= '3')
        return QByteArray(1, char(func[0] + 1));
    return {};
}

QByteArray rateCellText(const QByteArray& rate) {
    if (rate == "5")
        return "512";
    if (rate == "1")
        return "1200";
    if (rate == "2")
        return "2400";
    return {};
}

QByteArray msgCellText(const QByteArray& msg) {
    if (msg == "00")
        return "None";
    if (msg.startsWith('0'))
        return msg.right(1);
    return msg;
}

QByteArray messageLabel(const char* word, const QByteArray& msg, const MessageTable& messages, bool shorten) {
    const QByteArray bare(word);
    if (msg.isEmpty() || msg == "00")
        return bare;
    const auto n = toInt32(msg);
    if (!n || *n < 1 || *n > MessageCount)
        return bare;
    QByteArray text = messages[*n - 1];
    if (shorten && text.size() > 90)
        text = text.left(85) + "...";
    return bare + ' ' + text;
}

TypedNumber readTypedNumber(int column, const QByteArray& text) {
    TypedNumber r;
    if (text.isEmpty()) {
        r.stored = column == FamCol::PagerQty ? "000" : column == FamCol::StartID ? "0000" : "0000000";
        return r;
    }
    if (text.contains(',')) {
        r.kind = TypedNumber::Comma;
        return r;
    }
    const auto n = parseDigits(text);
    r.kind = TypedNumber::Rejected;
    if (!n)
        return r;
    switch (column) {
    case FamCol::PagerQty:
        if (*n >= 1 && *n <= 999)
            r = {TypedNumber::Accepted, zeroFill(text, 3), true};
        break;
    case FamCol::StartID:
        if (*n >= 1 && *n <= 8999)
            r = {TypedNumber::Accepted, text, true};
        break;
    case FamCol::StartCap:
        // A capcode below the lowest is kept for the OK button to reject.
        r = {TypedNumber::Accepted, zeroFill(text, 7), *n >= LowestCapcode};
        break;
    }
    return r;
}

FuncChoice chooseFuncCode(const QByteArray& item, const QByteArray& pgrType) {
    const QByteArray alphaLine = "The Normal Function Code Value for Alpha Pagers is 4";
    const QByteArray numericLine = "The Normal Function Code Value for Numeric Pagers is 1";
    const QByteArray typeLine = pgrType == "A" ? alphaLine : numericLine;
    if (item == "4" && pgrType == "A")
        return {"3", {}};
    if (item == "3")
        return {"2", typeLine};
    if (item == "2")
        return {"1", typeLine};
    if (item == "1" && pgrType == "N")
        return {"0", {}};
    if (item == "4" && pgrType == "N")
        return {"3", numericLine};
    if (item == "1" && pgrType == "A")
        return {"0", "The Normal Function Code Value for Alphanumeric Pagers is 4"};
    return {};
}

namespace {
void fillIfUnset(QByteArray& field, const QByteArray& unset, const QByteArray& start, bool keepSetUp) {
    if (!keepSetUp || field.isEmpty() || field == unset)
        field = start;
}
} // namespace

void startTextRecord(PagerFamily& f, bool keepSetUp) {
    f[Fam::Active] = "1";
    fillIfUnset(f[Fam::PagerQty], "000", "001", keepSetUp);
    fillIfUnset(f[Fam::StartID], "0000", "0000", keepSetUp);
    fillIfUnset(f[Fam::StartCap], "0000000", "0000000", keepSetUp);
    fillIfUnset(f[Fam::PgrType], {}, "A", keepSetUp);
    fillIfUnset(f[Fam::Func], {}, "3", keepSetUp);
    fillIfUnset(f[Fam::Rate], {}, "5", keepSetUp);
    fillIfUnset(f[Fam::Prefix], "00", "00", keepSetUp);
    fillIfUnset(f[Fam::Suffix], "00", "00", keepSetUp);
}

void startComboRecord(PagerFamily& f) {
    f[Fam::Active] = "1";
    f[Fam::PagerQty] = "001";
    f[Fam::Func] = "3";
    f[Fam::Prefix] = "00";
    f[Fam::Suffix] = "00";
}

bool familyComplete(const PagerFamily& f) {
    const auto qty = parseDigits(f[Fam::PagerQty]);
    const auto start = parseDigits(f[Fam::StartID]);
    const auto cap = parseDigits(f[Fam::StartCap]);
    return qty && *qty >= 1 && *qty <= 999 && start && *start >= 1 && cap && *cap >= LowestCapcode &&
           (f[Fam::PgrType] == "A" || f[Fam::PgrType] == "N") && !f[Fam::Rate].isEmpty();
}

QList<int> scanFamilies(FamilyTable& families) {
    QList<int> switchedOff;
    for (int i = 0; i < FamilyCount; ++i) {
        PagerFamily& f = families[i];
        if (familyComplete(f)) {
            f[Fam::Defined] = "YES";
            continue;
        }
        f[Fam::Defined].clear();
        f[Fam::PagerQty] = "000";
        f[Fam::StartID] = "0000";
        f[Fam::StartCap] = "0000000";
        f[Fam::PgrType] = "A";
        if (f[Fam::Active] == "1") {
            f[Fam::Active] = "0";
            switchedOff.append(i);
        }
    }
    return switchedOff;
}

namespace {

bool examined(const PagerFamily& f) {
    return f[Fam::Defined] == "YES" && f[Fam::Active] == "1";
}

// A field that is no number leaves its family out of the arithmetic.
std::optional<qint64> number(const QByteArray& text) {
    const auto n = parseDigits(text);
    if (!n || *n > LargestNumber)
        return std::nullopt;
    return n;
}

class Sweeper {
public:
    Sweeper(FamilyTable& t, const FamiliesCheckHooks& h) : m_t(t), m_h(h) {}

    FamiliesCheckResult run() {
        for (;;) {
            m_clean = true;
            if (m_h.sweepStart)
                m_h.sweepStart();
            if (!capcodePass() || !overlapPass()) {
                m_r.cancelled = true;
                return m_r;
            }
            m_r.result = true;
            if (m_clean)
                return m_r;
            m_r.adjusted = true;
        }
    }

private:
    bool stop() { return m_h.poll && m_h.poll(); }
    void showRow(int i) {
        if (m_h.row)
            m_h.row(i);
    }
    void change(int i, int field, const QByteArray& value) {
        m_t[i][field] = value;
        m_r.result = false;
        m_clean = false;
        if (m_h.changed)
            m_h.changed(i, field);
    }

    bool capcodePass() {
        for (int i = 0; i < FamilyCount; ++i) {
            if (stop())
                return false;
            showRow(i);
            PagerFamily& f = m_t[i];
            if (!examined(f))
                continue;
            auto c = number(f[Fam::StartCap]);
            const auto q = number(f[Fam::PagerQty]);
            if (!c || !q)
                continue;
            if (*c < LowestCapcode) {
                change(i, Fam::StartCap, "0000008");
                c = LowestCapcode;
            }
            if (*c + *q - 1 > HighestCapcode) {
                c = HighestCapcode + 1 - *q;
                change(i, Fam::StartCap, QByteArray::number(*c));
            }
            for (const qint64 block : ReservedBlocks) {
                for (qint64 k = block; k < block + 8; ++k) {
                    if (stop())
                        return false;
                    if (*c <= k && k <= *c + *q - 1) {
                        c = block - *q;
                        change(i, Fam::StartCap, QByteArray::number(*c));
                    }
                }
            }
        }
        return true;
    }

    bool overlapPass() {
        for (int i = 0; i < FamilyCount; ++i) {
            if (stop())
                return false;
            if (!examined(m_t[i]))
                continue;
            const auto si = number(m_t[i][Fam::StartID]);
            const auto qi = number(m_t[i][Fam::PagerQty]);
            if (!si || !qi)
                continue;
            const qint64 s = *si;
            const qint64 e = s + *qi - 1;
            for (int j = i + 1; j < FamilyCount; ++j) {
                if (stop())
                    return false;
                showRow(j);
                PagerFamily& g = m_t[j];
                if (!examined(g))
                    continue;
                auto sj = number(g[Fam::StartID]);
                const auto qj = number(g[Fam::PagerQty]);
                if (!sj || !qj)
                    continue;
                if (s <= *sj && *sj <= e) {
                    sj = e + 1;
                    change(j, Fam::StartID, QByteArray::number(*sj));
                }
                const qint64 end = *sj + *qj - 1;
                if (s <= end && end <= e)
                    change(j, Fam::PagerQty, QByteArray::number(s - *sj));
            }
        }
        return true;
    }

    FamilyTable& m_t;
    const FamiliesCheckHooks& m_h;
    FamiliesCheckResult m_r;
    bool m_clean = true;
};

} // namespace

FamiliesCheckResult checkFamilies(FamilyTable& families, const FamiliesCheckHooks& hooks) {
    return Sweeper(families, hooks).run();
}

} // namespace qpes

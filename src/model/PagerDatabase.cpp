#include "model/PagerDatabase.h"

namespace qpes {

namespace {
SharedState& instance() {
    static SharedState s;
    return s;
}
} // namespace

SharedState& shared() {
    return instance();
}

void resetShared() {
    instance() = SharedState{};
}

void applyStartValues(SharedState& s) {
    s.DatabaseChecked = true;
    s.FormLoading = true;
    s.LoggedIn = false;
    s.RangeTestRunning = false;
    s.EncoderMatches = true;
    EncoderSettings& e = s.Db.Settings;
    e.DutyCycle = "50";
    e.MaxBatch = "10";
    e.IgnoreRFCD = false;
    e.PPHReset = true;
    e.InvertData = false;
    e.IDAsCap = false;
    e.InvertRFCD = true;
    s.EncoderDetected = false;
    e.FlowBeforeACK = true;
    s.LastFile.clear();
    s.EncodedCR = QByteArray("\x1a") + "M";
    s.EncodedLF = QByteArray("\x1a") + "J";
}

void clearTables(PagerDatabase& db) {
    for (PagerFamily& f : db.Families) {
        f[Fam::Active] = "0";
        f[Fam::StartCap] = "0000000";
        f[Fam::Rate] = "5";
        f[Fam::PgrType] = "A";
        f[Fam::Func] = "3";
        f[Fam::PagerQty] = "000";
        f[Fam::StartID] = "0000";
        f[Fam::Prefix] = "00";
        f[Fam::Suffix] = "00";
        f[Fam::Defined].clear();
    }
    for (PagerGroup& g : db.Groups) {
        g[Grp::GroupID] = "0000";
        g[Grp::Active] = "0";
        g[Grp::CCActive] = "0";
        g[Grp::CCMsg] = "00";
        g[Grp::COActive] = "0";
        g[Grp::COMsg] = "00";
        g[Grp::TimerActive] = "0";
        g[Grp::TimerMsg] = "00";
        for (int k = Grp::PagerID1; k <= Grp::PagerID20; ++k)
            g[k] = "0000";
        g[Grp::Defined].clear();
    }
    for (QByteArray& m : db.Messages)
        m.clear();
}

} // namespace qpes

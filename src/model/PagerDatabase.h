#pragma once
// The one program-wide pager database and the flags every window shares.
// Every table field is text (Latin-1 bytes), exactly as it travels in files and on the line.

#include <QByteArray>
#include <QString>
#include <array>
#include <memory>

class QFile;

namespace qpes {

namespace Fam {
enum Field { Active, StartCap, Rate, PgrType, Func, PagerQty, StartID, Prefix, Suffix, Defined, FieldCount };
}
namespace Grp {
enum Field {
    GroupID,
    Active,
    CCActive,
    CCMsg,
    COActive,
    COMsg,
    TimerActive,
    TimerMsg,
    PagerID1,
    PagerID20 = PagerID1 + 19,
    Defined,
    Reference,
    FieldCount
};
}

constexpr int FamilyCount = 50;
constexpr int GroupCount = 10;
constexpr int MessageCount = 15;

using PagerFamily = std::array<QByteArray, Fam::FieldCount>;
using PagerGroup = std::array<QByteArray, Grp::FieldCount>;
using FamilyTable = std::array<PagerFamily, FamilyCount>;
using GroupTable = std::array<PagerGroup, GroupCount>;
using MessageTable = std::array<QByteArray, MessageCount>;

struct EncoderSettings {
    QByteArray DutyCycle;
    QByteArray MaxBatch;
    bool IgnoreRFCD = false;
    bool PPHReset = false;
    bool InvertData = false;
    bool IDAsCap = false;
    bool InvertRFCD = false;
    bool BriefACK = false;
    bool FlowBeforeACK = false;
    bool PETEnabled = false;
    bool PETSupported = false;
};

struct PagerDatabase {
    FamilyTable Families;
    GroupTable Groups;
    MessageTable Messages;
    EncoderSettings Settings;
};

// Process-wide state: the database, the configuration notes and the shared flags.
struct SharedState {
    PagerDatabase Db;
    QByteArray Notes; // text of the main window's notes box; saved and printed, never sent

    bool EncoderMatches = false;
    bool DatabaseBusy = false;
    bool EditedDuringRun = false; // an editor was edited while DatabaseBusy was set
    bool DatabaseChecked = false;
    bool FormLoading = false;
    bool ExitConfirmed = false;
    bool RecordIncomplete = false;
    bool CancelRequested = false;
    bool ReplyTimedOut = false;
    bool EncoderDetected = false;
    bool FamiliesChanged = false;
    bool FamiliesAdjusted = false;
    bool GroupsChanged = false;
    bool GroupsAdjusted = false;
    bool LoggedIn = false;
    bool RangeTestRunning = false;
    bool GroupsIncomplete = false; // the groups editor's own incomplete-record flag
    bool UnloadPending = false;
    bool ArchiveUpdating = false;
    QByteArray PagerIdError;              // detail of the last failed pager ID check
    int RangeTestCycleTime = 0;           // seconds
    qint64 RangeTestNextSend = 0;         // monotonic clock, milliseconds
    std::shared_ptr<QFile> LogFileNumber; // the open communications log file; null: none
    QString LastFile;
    int CommPortNumber = 0;
    QByteArray EncodedCR;
    QByteArray EncodedLF;
    QString HelpFile;
};

SharedState& shared();
// Back to the state of a freshly started process (all texts empty, all switches false).
void resetShared();

// The start values the main window's load gives the settings and flags.
void applyStartValues(SharedState& s);
// New Database: the empty values of families, groups and messages. Group references,
// settings and notes are kept.
void clearTables(PagerDatabase& db);

} // namespace qpes

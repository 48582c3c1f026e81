#pragma once
// What the program says to the encoder: the TAP block that carries database records and test
// pages, its checksum, the splitter for record replies, and every command text with the
// terminators their replies end with. Pure bytes, one byte per character.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace qpes {

constexpr char STX = '\x02';
constexpr char ETX = '\x03';
constexpr char LF = '\n';
constexpr char CR = '\r';
constexpr char ESC = '\x1b';
constexpr char RS = '\x1e';

// The encoder's reserved pager IDs for its own database: requests for one record go to the
// read ID, full records to be stored go to the write ID.
inline constexpr char DatabaseReadId[] = "019d46";
inline constexpr char DatabaseWriteId[] = "031e64";

// The three characters after ETX: the low 12 bits of the sum of `block`'s byte codes,
// high nibble first, each as '0' + nibble (so 10 to 15 give ":" to "?").
QByteArray TapChecksum(QByteArrayView block);
// STX id CR message CR ETX, the checksum, CR.
QByteArray BuildTapBlock(const QByteArray& id, const QByteArray& message);

// Cuts a record reply into its words. Returns the words only, so the count is the list's size
// and word n (counting from 1) is element n - 1. A text that does not begin with the delimiter
// is closed on both sides first; one that does is taken as it is, and `rest` then receives
// what follows its last delimiter (otherwise `rest` is empty). Empty words are skipped.
QList<QByteArray> SplitFields(const QByteArray& text, char delimiter, QByteArray* rest = nullptr);

// The command set. Upper-case and lower-case forms are different commands on the encoder.
QByteArray detectCommand();                         // "ATI" CR CR
QByteArray idAsCapQuery();                          // "CONFIG IDASCAP?" CR
QByteArray idAsCapSet(bool on);                     // "CONFIG IDASCAP 1" CR / "CONFIG IDASCAP 0" CR
QByteArray configQuery(QByteArrayView name);        // "config " name "?" CR LF
QByteArray configSet(QByteArrayView name, bool on); // "config " name " 1" CR LF / " 0"
QByteArray configSetValue(QByteArrayView name,
                          QByteArrayView value); // "config " name " " value CR LF; CR, LF in value as blanks
// The request for one database record: letter 'L' group, 'G' family, 'M' message.
QByteArray recordRequest(char letter, int number);
// A full database record to be stored by the encoder.
QByteArray recordStore(const QByteArray& record);
QByteArray lookupCommand(QByteArrayView id); // "LOOKUP " id CR LF
QByteArray testSignalCommand(int bps);       // "TEST512" CR, "TEST1200" CR, "TEST2400" CR
QByteArray tapLoginWake();                   // CR, answered by the TAP prompt
QByteArray tapLoginRequest();                // ESC "PG1" CR

// What replies end with.
inline constexpr char TapPrompt[] = "ID=";
inline constexpr char EndLF[] = "\n";
inline constexpr char EndCR[] = "\r";
inline constexpr char EndCRLF[] = "\r\n";
inline constexpr char EndRS[] = "\x1e";
inline constexpr char EndRSCR[] = "\x1e\r";

} // namespace qpes

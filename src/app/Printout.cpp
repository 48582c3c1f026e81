#include "app/Printout.h"

#include "model/Text.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <limits>

namespace qpes {

namespace {

const char* const Arial = "Arial";
const char* const Courier = "Courier New";
const char* const Title = "Quillmar Paging Encoder Configuration";
constexpr int Large = 20;
constexpr int Small = 10;

PrintElement text(int x, int y, const char* font, int points, bool bold, const QByteArray& line) {
    PrintElement e;
    e.x = x;
    e.y = y;
    e.font = QString::fromLatin1(font);
    e.points = points;
    e.bold = bold;
    e.text = QString::fromLatin1(line);
    return e;
}

PrintElement centred(int y, int offset, const QString& line) {
    PrintElement e;
    e.y = y;
    e.font = QString::fromLatin1(Arial);
    e.points = Small;
    e.bold = true;
    e.centred = true;
    e.centreOffset = offset;
    e.text = line;
    return e;
}

QString printDate(const QDate& date) {
    return QLocale().toString(date, QStringLiteral("MMM")) +
           QStringLiteral(". %1, %2").arg(date.day()).arg(date.year());
}

void addHeader(PrintPage& page, const QByteArray& notes, const QDate& date) {
    PrintElement logo;
    logo.kind = PrintElement::Kind::Picture;
    logo.x = 500;
    logo.y = 500;
    logo.width = 2035;
    logo.height = 1735;
    page.append(logo);

    PrintElement title = centred(1200, 1000, QString::fromLatin1(Title));
    title.points = Large;
    page.append(title);
    page.append(centred(1900, 1000, printDate(date)));
    page.append(text(500, 2500, Arial, Small, true, "Configuration Notes: "));
    page.append(text(2600, 2500, Arial, Small, false, notes));
}

void addFooter(PrintPage& page, const QString& lastFile, int pageNumber) {
    const QString pageText = QStringLiteral("p. %1 of 2").arg(pageNumber);
    PrintElement first = centred(750, 0,
                                 lastFile.isEmpty() ? pageText
                                                    : QStringLiteral("Filename: ") + lastFile +
                                                          QStringLiteral("    ") + pageText);
    PrintElement maker = centred(500, 0, QStringLiteral("Quillmar Communications"));
    first.fromFoot = maker.fromFoot = true;
    page.append(first);
    page.append(maker);
}

// Start + quantity - 1, or nothing when either is not a number or the end leaves 32 bits.
std::optional<qint32> lastOfRange(const QByteArray& start, qint32 quantity) {
    const auto first = toInt32(start);
    if (!first)
        return std::nullopt;
    const qint64 last = qint64(*first) + quantity - 1;
    if (last < std::numeric_limits<qint32>::min() || last > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(last);
}

std::optional<QByteArray> familyLine(const PagerFamily& f, int n) {
    const auto quantity = toInt32(f[Fam::PagerQty]);
    if (!quantity)
        return std::nullopt;
    QByteArray endId = "0000";
    QByteArray endCap = "0000000";
    if (*quantity > 0) {
        const auto lastId = lastOfRange(f[Fam::StartID], *quantity);
        const auto lastCap = lastOfRange(f[Fam::StartCap], *quantity);
        if (!lastId || !lastCap)
            return std::nullopt;
        endId = zeroFill(QByteArray::number(*lastId), 4);
        endCap = zeroFill(QByteArray::number(*lastCap), 7);
    }

    QByteArray line = (n < 10 ? "   " : "  ") + QByteArray::number(n) + "   ";
    line += f[Fam::Active] == "1" ? "  ON   " : " OFF   ";
    line += "  " + f[Fam::PagerQty] + "    ";
    line += "  " + f[Fam::StartID] + "  ";
    line += " " + endId + "  ";
    line += zeroFill(f[Fam::StartCap], 7) + "  ";
    line += endCap + "  ";
    line += f[Fam::PgrType] == "A" ? " Alpha  " : "Numeric ";

    // The stored function code is one less than the function the user knows; other codes as stored.
    const QByteArray& func = f[Fam::Func];
    const bool known = func.size() == 1 && func[0] >= '0' && func[0] <= '3';
    line += "  " + (known ? QByteArray(1, char(func[0] + 1)) : func) + "  ";

    const QByteArray& rate = f[Fam::Rate];
    if (rate == "5")
        line += " 512 ";
    else if (rate == "1")
        line += "1200 ";
    else if (rate == "2")
        line += "2400 ";
    else
        line += rate + " ";

    const QByteArray& prefix = f[Fam::Prefix];
    if (prefix == "00")
        line += " None  ";
    else if (prefix.startsWith('0'))
        line += "   " + prefix.right(1) + "   ";
    else
        line += "  " + prefix + "   ";

    const QByteArray& suffix = f[Fam::Suffix];
    if (suffix == "00")
        line += " None ";
    else if (suffix.startsWith('0'))
        line += "   " + suffix.right(1) + "  ";
    else
        line += "  " + suffix + "  ";
    return line;
}

QByteArray onOffCell(const QByteArray& flag) {
    return flag == "1" ? "  ON   " : "  OFF  ";
}

QByteArray messageCell(const QByteArray& active, const QByteArray& number) {
    if (active != "1")
        return " None  ";
    return (number.size() >= 2 ? "  " : "   ") + number + "   ";
}

std::optional<QByteArray> pagerIdCell(const QByteArray& id) {
    const auto value = parseNumber(id);
    if (!value)
        return std::nullopt;
    return *value > 0 ? " " + zeroFill(id, 4) + "  " : QByteArray(7, ' ');
}

bool addGroupTable(PrintPage& page, const GroupTable& groups) {
    const auto row = [&page](int y, const QByteArray& label, const QByteArray& cells) {
        page.append(text(500, y, Courier, Small, true, label));
        page.append(text(2500, y, Courier, Small, false, cells));
    };
    const auto cells = [&groups](auto cell) {
        QByteArray line;
        for (const PagerGroup& g : groups)
            line += cell(g);
        return line;
    };

    page.append(text(500, 2800, Courier, Small, true, "Pager Group:"));
    page.append(text(2500, 2800, Courier, Small, true,
                     "   1      2      3      4      5      6      7      8      9     10"));

    row(3000, "Reference:", cells([](const PagerGroup& g) {
            const QByteArray& ref = g[Grp::Reference];
            return QByteArray(qMax(0, 6 - int(ref.size())), ' ') + ref + " ";
        }));
    row(3200, "Active:", cells([](const PagerGroup& g) { return onOffCell(g[Grp::Active]); }));
    row(3400, "Group ID:", cells([](const PagerGroup& g) { return " " + g[Grp::GroupID] + "  "; }));
    for (int k = 1; k <= 20; ++k) {
        QByteArray line;
        for (const PagerGroup& g : groups) {
            const auto cell = pagerIdCell(g[Grp::PagerID1 + k - 1]);
            if (!cell)
                return false;
            line += *cell;
        }
        row(3600 + 200 * (k - 1), "Pager ID " + QByteArray::number(k) + ":", line);
    }
    row(7600, "CC Active:", cells([](const PagerGroup& g) { return onOffCell(g[Grp::CCActive]); }));
    row(7800,
        "CC Msg #:", cells([](const PagerGroup& g) { return messageCell(g[Grp::CCActive], g[Grp::CCMsg]); }));
    row(8000, "CO Active:", cells([](const PagerGroup& g) { return onOffCell(g[Grp::COActive]); }));
    row(8200,
        "CO Msg #:", cells([](const PagerGroup& g) { return messageCell(g[Grp::COActive], g[Grp::COMsg]); }));
    row(8400, "Timer Active:", cells([](const PagerGroup& g) { return onOffCell(g[Grp::TimerActive]); }));
    row(8600, "Timer Msg #:", cells([](const PagerGroup& g) {
            return messageCell(g[Grp::TimerActive], g[Grp::TimerMsg]);
        }));
    return true;
}

void addMessages(PrintPage& page, const MessageTable& messages) {
    for (int m = 1; m <= MessageCount; ++m) {
        const int y = 9000 + 200 * (m - 1);
        page.append(text(500, y, Courier, Small, true, "Canned Msg #" + QByteArray::number(m) + ":"));
        page.append(text(2500, y, Courier, Small, false, messages[m - 1]));
    }
}

void addSettings(PrintPage& page, const EncoderSettings& e, const QString& portSettings) {
    const auto enabled = [](bool on) { return QByteArray(on ? "Enabled" : "Disabled"); };
    const auto line = [&page](int y, const QByteArray& leftLabel, const QByteArray& leftValue,
                              const QByteArray& rightLabel, const QString& rightValue) {
        page.append(text(500, y, Courier, Small, true, leftLabel));
        page.append(text(2500, y, Courier, Small, false, leftValue));
        page.append(text(5000, y, Courier, Small, true, rightLabel));
        PrintElement value = text(7300, y, Courier, Small, false, QByteArray());
        value.text = rightValue; // the port's own settings string, not a table field
        page.append(value);
    };
    const auto latin1 = [](const QByteArray& b) { return QString::fromLatin1(b); };

    line(12200, "Duty Cycle %:", e.DutyCycle, "Max Msg/Batch:", latin1(e.MaxBatch));
    line(12400, "Carrier Detect:", enabled(!e.IgnoreRFCD), "Port Timer Reset:", latin1(enabled(e.PPHReset)));
    line(12600, "ID As Capcode:", enabled(e.IDAsCap), "CD Polarity:", latin1(e.InvertRFCD ? "0V" : "5V"));
    line(12800, "Data Polarity:", e.InvertData ? "Inverted" : "Normal", "Port Settings:", portSettings);
    line(13000, "Brief ACK:", enabled(e.BriefACK), "Flow Before ACK:", latin1(enabled(e.FlowBeforeACK)));
}

QFont printerFont(const PrintElement& e) {
    QFont font(e.font);
    // One logical unit is one twip: a point is 20 of them.
    font.setPixelSize(e.points * 20);
    font.setBold(e.bold);
    // Plain glyphs as typed: no ligatures, no kerning, so the table cells keep their widths.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// The room a page's layout takes, in twips. Across: to its right-most text or picture, and a
// centred text its width and its offset on either side. Down: to its lowest element, then the
// footer's own line spacing kept clear above it, then the footer's distance from the foot.
QSizeF neededSize(const PrintPage& page, QPaintDevice* device) {
    constexpr int footerSpacing = 250;
    qreal width = 0;
    qreal height = 0;
    int foot = 0;
    for (const PrintElement& e : page) {
        QSizeF size(e.width, e.height);
        if (e.kind == PrintElement::Kind::Text) {
            const QFontMetricsF metrics(printerFont(e), device);
            size = QSizeF(metrics.horizontalAdvance(e.text), metrics.height());
        }
        width = qMax(width, e.centred ? size.width() + 2 * e.centreOffset : e.x + size.width());
        if (e.fromFoot)
            foot = qMax(foot, e.y);
        else
            height = qMax(height, e.y + size.height());
    }
    return {width, height + footerSpacing + foot};
}

void drawPage(QPainter& painter, const PrintPage& page, int pageWidth, int pageHeight, const QImage& logo) {
    for (const PrintElement& e : page) {
        if (e.kind == PrintElement::Kind::Picture) {
            if (!logo.isNull())
                painter.drawImage(QRect(e.x, e.y, e.width, e.height), logo);
            continue;
        }
        painter.setFont(printerFont(e));
        const QFontMetrics metrics = painter.fontMetrics();
        const int x =
            e.centred ? pageWidth / 2 - metrics.horizontalAdvance(e.text) / 2 + e.centreOffset : e.x;
        const int y = e.fromFoot ? pageHeight - e.y : e.y;
        painter.drawText(QPoint(x, y + metrics.ascent()), e.text);
    }
}

} // namespace

std::optional<QList<PrintPage>> layoutPrintout(const SharedState& s, const QString& portSettings,
                                               const QDate& date) {
    const PagerDatabase& db = s.Db;

    PrintPage families;
    addHeader(families, s.Notes, date);
    families.append(
        text(500, 2800, Courier, Small, true,
             "Family Active PagerQty StartID EndID StartCap  EndCap   PgrType Func Rate Prefix Suffix"));
    for (int n = 1; n <= FamilyCount; ++n) {
        const PagerFamily& f = db.Families[n - 1];
        const auto line = familyLine(f, n);
        if (!line)
            return std::nullopt;
        families.append(text(500, 3050 + 230 * (n - 1), Courier, Small, f[Fam::Active] == "1", *line));
    }
    addFooter(families, s.LastFile, 1);

    PrintPage groups;
    addHeader(groups, s.Notes, date);
    if (!addGroupTable(groups, db.Groups))
        return std::nullopt;
    addMessages(groups, db.Messages);
    addSettings(groups, db.Settings, portSettings);
    addFooter(groups, s.LastFile, 2);

    return QList<PrintPage>{families, groups};
}

bool PrintOn(QPrinter& printer, const SharedState& s, const QString& portSettings, const QImage& logo,
             int copies) {
    const QRectF area = printer.pageRect(QPrinter::Point);
    const int pageWidth = qRound(area.width() * 20);
    const int pageHeight = qRound(area.height() * 20);

    // A field that is not a number stops the printout before anything reaches the printer.
    const auto pages = layoutPrintout(s, portSettings, QDate::currentDate());
    QPainter painter;
    if (!pages || !painter.begin(&printer))
        return false;
    // Twips onto device pixels as they are, not a window onto the device's whole pixels: that
    // would stretch the page by part of a pixel, past the paper's edge for a page that fills it.
    const qreal pixelsAcross = printer.logicalDpiX() / 1440.0;
    const qreal pixelsDown = printer.logicalDpiY() / 1440.0;

    // A page that fits keeps its positions; a larger one is drawn on a larger page, shrunk to fit.
    QList<qreal> scales;
    for (const PrintPage& page : *pages) {
        const QSizeF needed = neededSize(page, &printer);
        scales.append(qMin(1.0, qMin(pageWidth / needed.width(), pageHeight / needed.height())));
    }

    bool first = true;
    for (int copy = 0; copy < copies; ++copy) {
        for (qsizetype p = 0; p < pages->size(); ++p) {
            if (!first && !printer.newPage()) {
                printer.abort();
                painter.end();
                return false;
            }
            first = false;
            const qreal scale = scales[p];
            painter.setWorldTransform(QTransform::fromScale(scale * pixelsAcross, scale * pixelsDown));
            drawPage(painter, pages->at(p), qRound(pageWidth / scale), qRound(pageHeight / scale), logo);
        }
    }
    painter.end();
    return true;
}

void PrintDatabase(const SharedState& s, const QString& portSettings, const QImage& logo) {
    QPrinter printer(QPrinter::HighResolution);
    // The print queue shows the job by its database file, or by the title when it has none.
    printer.setDocName(s.LastFile.isEmpty() ? QString::fromLatin1(Title) : QFileInfo(s.LastFile).fileName());
    if (!Dialogs::print(printer))
        return;
    const int copies = qMax(1, printer.copyCount());
    // Every copy is drawn here, so the printer must not repeat them.
    printer.setCopyCount(1);
    setBusy(true);
    // A PDF file has no unprintable margin: its printable area is the whole sheet.
    printer.setFullPage(printer.outputFormat() == QPrinter::PdfFormat);
    PrintOn(printer, s, portSettings, logo, copies);
    setBusy(false);
}

} // namespace qpes

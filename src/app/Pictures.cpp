#include "app/Pictures.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace qpes {

namespace {
const QColor Navy(0, 40, 110);
}

QPixmap splashPicture() {
    QPixmap pixmap(420, 200);
    pixmap.fill(Navy);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The radio waves stand clear of the texts that start at x = 100.
    p.setPen(QPen(Qt::white, 3));
    for (int r = 16; r <= 48; r += 16)
        p.drawArc(QRect(30 - r, 100 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    QFont title(QStringLiteral("Arial"), 22, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(100, 40, 310, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Quillmar"));
    p.setFont(QFont(QStringLiteral("Arial"), 13));
    p.drawText(QRect(100, 95, 310, 60), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Paging Encoder Setup"));
    return pixmap;
}

QImage logoImage() {
    QImage image(407, 347, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Navy);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRect(10, 10, 387, 327), 30, 30);
    p.setPen(QPen(Qt::white, 8));
    p.setBrush(Qt::NoBrush);
    for (int r = 40; r <= 120; r += 40)
        p.drawArc(QRect(200 - r, 170 - r, 2 * r, 2 * r), 30 * 16, 120 * 16);
    p.setFont(QFont(QStringLiteral("Arial"), 40, QFont::Bold));
    p.drawText(QRect(10, 200, 387, 120), Qt::AlignCenter, QStringLiteral("Q"));
    return image;
}

QPixmap portPicture(bool connected) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(connected ? QColor(0, 170, 0) : QColor(200, 0, 0));
    p.setPen(QPen(Qt::black, 1));
    p.drawEllipse(QRect(4, 4, 24, 24));
    p.setPen(QPen(Qt::white, 3));
    if (connected) {
        p.drawLine(10, 16, 22, 16);
    } else {
        p.drawLine(11, 11, 21, 21);
        p.drawLine(21, 11, 11, 21);
    }
    return pixmap;
}

QIcon toolbarIcon(const char* key) {
    // The desktop's picture for what the button does, where its theme has one; else the style's.
    const struct {
        const char* key;
        const char* themeName;
        QStyle::StandardPixmap fallback;
    } pictures[] = {
        {"sequence", "x-office-spreadsheet", QStyle::SP_FileDialogDetailedView}, // the families table
        {"group", "system-users", QStyle::SP_FileDialogListView},
        {"message", "mail-message-new", QStyle::SP_FileDialogContentsView},
        {"program", "go-up", QStyle::SP_ArrowUp}, // into the encoder
        {"read", "go-down", QStyle::SP_ArrowDown},
        {"test", "utilities-terminal", QStyle::SP_MediaPlay}, // the test console
    };
    for (const auto& p : pictures)
        if (qstrcmp(p.key, key) == 0)
            return QIcon::fromTheme(QString::fromLatin1(p.themeName),
                                    QApplication::style()->standardIcon(p.fallback));
    return {};
}

} // namespace qpes

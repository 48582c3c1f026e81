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
    p.setPen(QPen(Qt::white, 3));
    for (int r = 20; r <= 60; r += 20)
        p.drawArc(QRect(40 - r, 100 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
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
    const QByteArray k(key);
    QStyle* style = QApplication::style();
    if (k == "sequence")
        return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    if (k == "group")
        return style->standardIcon(QStyle::SP_FileDialogListView);
    if (k == "message")
        return style->standardIcon(QStyle::SP_FileIcon);
    if (k == "program")
        return style->standardIcon(QStyle::SP_ArrowUp);
    if (k == "read")
        return style->standardIcon(QStyle::SP_ArrowDown);
    return style->standardIcon(QStyle::SP_MediaPlay);
}

} // namespace qpes

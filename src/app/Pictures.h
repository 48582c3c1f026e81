#pragma once
// The program's pictures, drawn at run time: splash, logo, port state, toolbar buttons.

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace qpes {

QPixmap splashPicture();
QImage logoImage(); // printed at the top of every printout page
QPixmap portPicture(bool connected);
QIcon toolbarIcon(const char* key);

} // namespace qpes

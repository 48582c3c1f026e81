#include "link/Link.h"

#include "model/PagerDatabase.h"

namespace qpes {

Link::Link(QObject* parent) : QObject(parent) {
    Timer1.setInterval(1000);
    Timer1.setSingleShot(true);
    Timer2.setInterval(6000);
    Timer2.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, [] { shared().TickElapsed = true; });
    connect(&Timer2, &QTimer::timeout, this, [] { shared().ReplyTimedOut = true; });
}

} // namespace qpes

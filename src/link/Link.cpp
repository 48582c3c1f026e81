#include "link/Link.h"

#include "model/PagerDatabase.h"

#include <algorithm>
#include <utility>

namespace qpes {

Link::Link(QObject* parent) : QObject(parent) {
    Timer1.setInterval(1000);
    Timer1.setSingleShot(true);
    Timer2.setInterval(6000);
    Timer2.setSingleShot(true);
    connect(&Timer2, &QTimer::timeout, this, [] { shared().ReplyTimedOut = true; });
}

void Link::stopConversation(AfterRun then) {
    m_stopRequested = true;
    followUp(then);
}

void Link::closePortAfterRun() {
    followUp(AfterRun::ClosePort);
}

// Opening Properties closes the port too, so it outranks a plain close.
void Link::followUp(AfterRun then) {
    m_after = std::max(m_after, then);
}

void Link::endConversation() {
    m_stopRequested = false;
    emit conversationEnded(std::exchange(m_after, AfterRun::Nothing));
}

} // namespace qpes

#pragma once

#include <QMetaType>

namespace tracely {

// What the link is doing, as a user would say it; the engine reports each change.
enum class LinkPhase {
    NoInstrument, // nothing found yet, or the instrument went away
    Searching,    // trying the ports for a BitScope
    NotFound,     // no port answered
    Connected,    // identified, no trace asked for yet
    Waiting,      // a trace is asked for and the trigger has not come for a while
    Receiving,    // a long dump is arriving (progress follows)
    Captured,     // a trace was drawn
    GaveUp,       // a capture failed and nothing more is asked for
};

} // namespace tracely

Q_DECLARE_METATYPE(tracely::LinkPhase)

#pragma once

#include "src/core/front_panel_state.h"

#include <QByteArray>

namespace tracely {

// Stores the (logic, analog) byte pairs of a finished dump into the raw capture buffer from
// row intWriteIdx on; pairs beyond intCaptureLen are dropped, a trailing odd byte is ignored.
void unpackSamples(WindowCaptureMembers& s, const QByteArray& samples);

} // namespace tracely

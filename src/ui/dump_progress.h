#pragma once

#include <QString>

class QProgressBar;

namespace tracely {

// "12 of 60 blocks, 2.1 s left": how far a long dump has come.
QString dumpProgressText(int done, int total, double secondsLeft);
// The same for a narrow status-bar panel: "12/60, 2.1 s left".
QString dumpProgressShort(int done, int total, double secondsLeft);

// Shows the dump's progress on `bar`, or hides it when total is 0. The accessible name carries
// the text, so a screen reader hears the same as the eye sees.
void showDumpProgress(QProgressBar* bar, int done, int total, double secondsLeft);

} // namespace tracely

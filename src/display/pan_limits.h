#pragma once

namespace tracely {
struct MainWindowMembers;
namespace widgets {
class Slide;
}

// Sets the pan slide's ends to where the capture's points end, so that the window never
// pans onto an empty screen (the slide's own handler then moves the window back inside).
// Before the first capture the slide keeps the ends it was built with.
void limitPan(const MainWindowMembers& state, widgets::Slide* pan);

} // namespace tracely

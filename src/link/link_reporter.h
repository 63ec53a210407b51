#pragma once

namespace tracely {

// The one message the user ever gets in a box: the instrument does not answer.
inline constexpr const char* kCommErrorText =
    "Unable to Communicate with Bitscope - Check Comm Port Connection!";
inline constexpr const char* kCommErrorTitle = "Tracely Comm Error";

} // namespace tracely

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How the settings file writes and reads its values. Pure, so that a hand-edited file's every
// oddity is settled here and tested without a window.
namespace tracely::settings {

// "True"/"False" in any letter case, or a number: 0 is false, any other true.
std::optional<bool> readBoolean(std::string_view text);
inline const char* writeBoolean(bool b) {
    return b ? "True" : "False";
}

// The leading number of the text (an unreadable text gives 0), rounded half to even, kept
// within the range a position can have so that no text can overflow a conversion.
int readPosition(std::string_view text);

// The whole text as a number (a control's value); nothing when it is not one.
std::optional<double> readNumber(std::string_view text);

// A check box state: "0" unchecked, "1" checked; other numbers and texts are refused.
std::optional<bool> readState(std::string_view text);
inline const char* writeState(bool checked) {
    return checked ? "1" : "0";
}

// Single precision, written as the shortest decimal that reads back to the same value.
std::optional<float> readSingle(std::string_view text);
std::string writeSingle(float value);
// A control's value as text: whole numbers without a fraction, others as short as exact.
std::string writeNumber(double value);

} // namespace tracely::settings

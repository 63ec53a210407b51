#pragma once

#include "src/core/front_panel_state.h"

#include <cstdint>
#include <span>

namespace tracely {

struct TriggerSearchInput {
    std::uint8_t sentR5;  // pattern as last programmed
    std::uint8_t sentR6;  // don't-care mask as last programmed
    std::uint8_t sentR7;  // bits 5..4: the search type
    std::uint8_t imageR5; // the trigger controls' current images, for the level type's
    std::uint8_t imageR6; // first-sample test
    bool logicSource;     // search the logic byte instead of the analog byte
};

// Finds again the row at which the trigger condition became true (or false) in the capture.
// Rows are numbered from 1. Returns `start` when nothing is found or a row outside the
// capture would be read; returns `previous` for the type that does no search.
std::int16_t findTriggerRow(std::span<const SampleRow> rows, std::int16_t start,
                            const TriggerSearchInput& in, std::int16_t previous);

// TriggerSearch on the shared state: does nothing while the link is down.
void TriggerSearch(FrontPanelState& s, std::int16_t start, bool logicSource);

} // namespace tracely

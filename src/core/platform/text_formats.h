#pragma once

namespace velmora {

// Fixes the number format of the C library to the classic one, whatever the user's
// regional settings, so that every number text of the program has a decimal point.
void SetFixedTextFormats();

}  // namespace velmora

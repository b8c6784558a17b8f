#include "platform/text_formats.h"

#include <clocale>

namespace velmora {

void SetFixedTextFormats() {
  // The windowing library adopts the user's locale at start-up; numbers must keep their point.
  std::setlocale(LC_NUMERIC, "C");
}

}  // namespace velmora

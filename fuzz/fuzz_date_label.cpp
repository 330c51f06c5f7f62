// Date label parsing on any text. A label that parses names a key whose
// own label parses back to the same key.
#include <cstdlib>
#include <string_view>

#include "core/time_key.h"

using namespace valdrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  uint16_t key = 0;
  if (!parse_time_label(text, key)) return 0;
  char label[kDateLabelSize];
  format_time_key(key, label);
  uint16_t again = 0;
  if (!parse_time_label(label, again) || again != key) std::abort();
  return 0;
}

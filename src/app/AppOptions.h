#pragma once
// The options the application object keeps for itself (they are not the
// service's): the main dialog's layout and the conversion choices. Saved in
// LuaChon.ini with the service's options.
#include <cstdint>
#include <vector>

#include "app/ConversionOptions.h"

namespace tavirel {

struct AppOptions {
  // Number of option pages of the main dialog; "DisplayedTabs" holds indexes
  // below it.
  static constexpr int32_t kPageCount = 6;

  bool ThuNho = true;                           // main dialog in its reduced form
  std::vector<int32_t> DisplayedTabs{0, 1};     // option pages shown, in page order
  ConversionOptions Conversion;
};

}  // namespace tavirel

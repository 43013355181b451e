// The maker's line on the window and the home page it links to.
#pragma once

#include "app/version.h"

namespace tavrel {

inline constexpr const char* kApplicationTitle = "Tavrel";
inline constexpr const char* kCopyrightLine = TAVREL_COPYRIGHT;
inline constexpr const char* kHomePageUrl = "http://www.ferroday.example/";
inline constexpr const char* kHomePageTooltip = "Go to Ferroday Home Page";

}  // namespace tavrel

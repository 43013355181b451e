// Tavrel's name and the home page the maker's line on the window links to
// (the line itself is Text::CopyrightLine).
#pragma once

namespace tavrel {

inline constexpr const char* kApplicationTitle = "Tavrel";
inline constexpr const char* kHomePageUrl = "http://www.ferroday.example/";

}  // namespace tavrel

// What the Open dialog of a file box offers: the kind of file it lists and
// the folders it may start in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "window/layout.h"
#include "texts/texts.h"

namespace tavrel {

struct FileChoice {
  Text filterName;       // the filter's name in the dialog's list
  const char* patterns;  // the filter itself, patterns separated by ";"
  // Where the dialog starts, the first that can be opened: the folder of the
  // file the box shows, if it shows one, then Tavrel's folder.
  std::vector<std::string> folders;
};

// The dialog of the program box or the font box. `shown` is the box's text
// (a full path, or a prompt), `tavrel` Tavrel's own full path.
FileChoice ChoiceFor(Control box, std::string_view shown, std::string_view tavrel);

}  // namespace tavrel

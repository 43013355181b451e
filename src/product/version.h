/* The one place where Tavrel's version (and copyright line) is defined. Read by the C++ code (the
   window caption) and by the resource compiler (the version resource), so it
   holds nothing but preprocessor definitions. */
#ifndef TAVREL_APP_VERSION_H
#define TAVREL_APP_VERSION_H

#define TAVREL_VERSION_MAJOR 1
#define TAVREL_VERSION_MINOR 0
#define TAVREL_VERSION_REVISION 0
#define TAVREL_VERSION_BUILD 0

/* The maker's copyright line, shown on the window and in the version resource. */
#define TAVREL_COPYRIGHT "Copyright (C) 2026 Ferroday. All rights reserved."

#define TAVREL_STRINGIFY_(x) #x
#define TAVREL_STRINGIFY(x) TAVREL_STRINGIFY_(x)
#define TAVREL_VERSION_DOTTED                                                        \
  TAVREL_STRINGIFY(TAVREL_VERSION_MAJOR) "." TAVREL_STRINGIFY(TAVREL_VERSION_MINOR) "." \
  TAVREL_STRINGIFY(TAVREL_VERSION_REVISION) "." TAVREL_STRINGIFY(TAVREL_VERSION_BUILD)

#endif

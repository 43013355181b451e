// The platform services the main window's logic runs on.
#pragma once

#include "platform/file_api.h"
#include "platform/process_api.h"
#include "platform/registry_api.h"
#include "platform/session_api.h"
#include "platform/shell_api.h"
#include "platform/window_tree_api.h"

namespace tavrel {

class IProfile;
class IVariantConversions;

struct Services {
  IRegistry& registry;
  IFileSystem& files;
  IShell& shell;
  IProcesses& processes;
  IEventLoop& events;
  IWindowTree& windows;
  ISession& session;
  IProfile& profile;
  IVariantConversions& variants;
};

}  // namespace tavrel

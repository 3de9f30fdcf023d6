#include "platform/platform.h"

namespace qnd::platform {

Platform SystemPlatform() {
  return {&SystemRegistry(), &SystemProfile(), &SystemFileSystem(), &SystemRegional(),
          &SystemShell(),    &SystemProcessInfo()};
}

}  // namespace qnd::platform

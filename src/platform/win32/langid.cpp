// Win32 side of the language seam: the system's own user language.
#include <windows.h>

#include "platform/langid.h"

namespace gnutil::platform {

unsigned short UserDefaultLangID() { return GetUserDefaultLangID(); }

}  // namespace gnutil::platform

// The whole public API of gnutil.
#ifndef GNUTIL_GNUTIL_H
#define GNUTIL_GNUTIL_H

#include "gnutil/export.h"
#include "gnutil/gnlist.h"
#include "gnutil/gnstring.h"
#include "gnutil/mbutil.h"
#include "gnutil/osresource.h"

#endif  // GNUTIL_GNUTIL_H

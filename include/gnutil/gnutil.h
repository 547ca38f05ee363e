// The whole public API of gnutil.
#ifndef GNUTIL_GNUTIL_H
#define GNUTIL_GNUTIL_H

#include "gnutil/export.h"
#include "gnutil/gnstring.h"
#include "gnutil/jaconv.h"
#include "gnutil/mbstring.h"
#include "gnutil/mbutil.h"

#endif  // GNUTIL_GNUTIL_H

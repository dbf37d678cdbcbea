#include "low/a.h"
#include "mid/shared.h"
#include "not_mapped.h"

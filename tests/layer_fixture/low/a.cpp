#include "low/a.h"
#include <vector>
#include "high/b.h"

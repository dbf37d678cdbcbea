#pragma once
#include "mid/shared.h"
#include "low/a.h"

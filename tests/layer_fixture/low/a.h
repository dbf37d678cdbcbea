#pragma once
#include "mid/shared.h"

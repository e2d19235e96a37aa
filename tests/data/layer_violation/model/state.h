#pragma once
#include "agent/maus.h"
#include "world/geometry.h"

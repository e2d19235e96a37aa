#include "model/state.h"

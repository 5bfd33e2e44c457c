#pragma once

#include "foundation/system/Forward.h"

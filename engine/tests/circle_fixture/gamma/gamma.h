#pragma once
#include "alpha/alpha.h"

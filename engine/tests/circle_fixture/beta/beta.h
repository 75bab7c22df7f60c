#pragma once
#include "gamma/gamma.h"

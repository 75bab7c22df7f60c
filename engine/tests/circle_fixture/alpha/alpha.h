#pragma once
#include "beta/beta.h"

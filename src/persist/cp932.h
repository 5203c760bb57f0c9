#pragma once

// Moved to the platform layer; kept until list/ and print/ include it from there.
#include "platform/codepage.h"

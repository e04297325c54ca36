// The control ids of the main window: named once, with the templates (res/controlids.h).
#pragma once

#include "res/controlids.h"

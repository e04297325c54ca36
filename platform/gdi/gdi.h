// The whole graphics layer in one include.
#pragma once

#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/bmp.h"
#include "platform/gdi/brush.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/font.h"
#include "platform/gdi/icon.h"
#include "platform/gdi/png.h"
#include "platform/gdi/region.h"
#include "platform/gdi/text.h"
#include "platform/gdi/types.h"

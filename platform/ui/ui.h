// The window framework in one include: windows, message tables, dialogs and data exchange.
#pragma once

#include "platform/ui/application.h"
#include "platform/ui/dataexchange.h"
#include "platform/ui/dialog.h"
#include "platform/ui/messagemap.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/window.h"

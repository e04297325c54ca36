// The program's resources: dialog templates 102 and 312, icon 128 and every skin bitmap,
// compiled into the executable.
#pragma once

#include "platform/shell/resources.h"

namespace res {

const shell::ResourceBundle& ProgramResources();

}  // namespace res

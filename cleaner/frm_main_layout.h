// The wizard window's layout tables.
#pragma once

#include "win32/layout.h"

namespace cleaner {

extern const win32::ControlSpec kMainLayout[];
extern const size_t kMainLayoutCount;
extern const win32::ColumnSpec kMainColumns[];
extern const size_t kMainColumnCount;

}  // namespace cleaner

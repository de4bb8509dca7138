#pragma once

#include <ostream>

#include "CustomTable.h"

// Readable failure messages for the engine's status values.
inline std::ostream& operator<<(std::ostream& out, TOpenStatus status) {
    return out << static_cast<int>(status) << " (" << OpenStatusText(status) << ")";
}

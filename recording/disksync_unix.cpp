// SPDX-License-Identifier: GPL-3.0-or-later
#include "disksync.h"

#include <unistd.h>

bool syncToDisk(int fileDescriptor)
{
    return ::fdatasync(fileDescriptor) == 0;
}

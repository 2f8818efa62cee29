// SPDX-License-Identifier: GPL-3.0-or-later
#include "disksync.h"

#include <io.h>

bool syncToDisk(int fileDescriptor)
{
    return ::_commit(fileDescriptor) == 0;
}

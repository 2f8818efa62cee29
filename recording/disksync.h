// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DISKSYNC_H
#define DISKSYNC_H

// Hands what was written to an open file's descriptor down to the disk, past the system's cache:
// what a power cut would otherwise take. False when the system refused.
bool syncToDisk(int fileDescriptor);

#endif // DISKSYNC_H

// SPDX-License-Identifier: GPL-3.0-or-later
// A name lookup that hangs, as behind a lab's dead DNS server: getaddrinfo()
// of a name ending in ".held.invalid" makes the file that AMMETER_HELD_LOOKUP
// names, waits while it exists (20 s at most), and then fails as the real
// lookup of such a name does; later lookups fail at once. Linked into a test,
// or preloaded into a child.
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

struct addrinfo;

extern "C" int getaddrinfo(
    const char *node, const char *service, const addrinfo *hints, addrinfo **result)
{
    using Lookup = int (*)(const char *, const char *, const addrinfo *, addrinfo **);
    static const auto real = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
    static const char held[] = ".held.invalid";
    const char *marker = std::getenv("AMMETER_HELD_LOOKUP");
    static std::atomic<bool> heldOnce {false};
    const size_t length = node ? std::strlen(node) : 0;
    if (marker && length >= sizeof held - 1
        && std::strcmp(node + length - (sizeof held - 1), held) == 0 && !heldOnce.exchange(true)) {
        if (FILE *file = std::fopen(marker, "w"))
            std::fclose(file);
        for (int i = 0; i < 200 && access(marker, F_OK) == 0; ++i)
            usleep(100000);
        unlink(marker);
    }
    return real(node, service, hints, result);
}

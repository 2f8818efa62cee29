// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordedrun.h"

#include <QFile>
#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Reads one arbitrary file as a recording, as "回放" and "对比" do. Besides not crashing or
// hanging, the reader must keep its promises: a run it accepts has rows whose time starts at 0
// and never goes back, and a file it refuses names a line the file has.
namespace {

void check(bool condition, const char *promise)
{
    if (condition)
        return;
    std::fprintf(stderr, "recording reader broke its promise: %s\n", promise);
    std::abort();
}

QString inputFile(const QByteArray &bytes)
{
    static QTemporaryFile file;
    if (!file.isOpen())
        check(file.open(), "a temporary file to read from");
    file.resize(0);
    file.seek(0);
    file.write(bytes);
    file.flush();
    return file.fileName();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    RecordedRun run;
    const bool loaded = run.load(inputFile(bytes));
    check(loaded == !run.isEmpty(), "a loaded run has rows, a refused one none");
    if (loaded) {
        qint64 count = 0;
        double last = 0;
        run.visitRows(0, run.rowCount() - 1, [&](const RecordedRun::Row &row) {
            check(count > 0 || row.seconds == 0, "the run's time starts at 0");
            check(row.seconds >= last, "the run's time never goes back");
            last = row.seconds;
            ++count;
        });
        check(run.totals().count() == count, "the whole run's figures count every row");
    }
    check(run.errorLine() <= bytes.count('\n') + 1, "the bad line is one the file has");
    return 0;
}

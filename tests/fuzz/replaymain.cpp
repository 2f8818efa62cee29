// SPDX-License-Identifier: GPL-3.0-or-later
#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// Runs the fuzz entry point over every file of the seed corpus, so the regular
// build checks the same promises without libFuzzer. A broken promise aborts,
// which fails the test.
int main()
{
    const QDir corpus(QStringLiteral(AMMETER_FUZZ_CORPUS));
    int inputs = 0;
    for (const QFileInfo &entry : corpus.entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(entry.filePath());
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray bytes = file.readAll();
        LLVMFuzzerTestOneInput(
            reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
        ++inputs;
    }
    std::printf("replayed %d inputs\n", inputs);
    return inputs > 0 ? 0 : 1;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "runsummarycache.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

constexpr quint32 Magic = 0x414d5253;
constexpr quint32 Version = 1;
// Enough for the recordings someone goes back to; the oldest go first.
constexpr int KeptSummaries = 16;
constexpr int ChecksumBytes = 16;

QString folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/ammeter/runs");
}

QByteArray checksum(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5);
}

void writeKey(QDataStream &stream, const QFileInfo &recording)
{
    stream << Magic << Version << qint64(recording.size())
           << qint64(recording.lastModified().toMSecsSinceEpoch());
}

// A summary that parses but could not be this file's: blocks out of order or past its end.
bool fits(const RunSummary &summary, qint64 fileSize)
{
    qint64 rows = 0;
    qint64 offset = -1;
    for (const RunSummary::Block &block : summary.blocks) {
        if (block.offset <= offset || block.offset >= fileSize || block.firstRow != rows
            || block.rows <= 0 || block.firstTile < 0 || block.firstTile >= summary.tiles.size()
            || block.totals.count() != block.rows)
            return false;
        offset = block.offset;
        rows += block.rows;
    }
    return rows == summary.whole.count() && !summary.blocks.isEmpty();
}

void prune()
{
    QDir dir(folder());
    const QFileInfoList kept
        = dir.entryInfoList({QStringLiteral("*.summary")}, QDir::Files, QDir::Time);
    for (int i = KeptSummaries; i < kept.size(); ++i)
        QFile::remove(kept.at(i).filePath());
}

bool loadFrom(const QString &path, const QFileInfo &recording, RunSummary &summary)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < ChecksumBytes
        || checksum(bytes.left(bytes.size() - ChecksumBytes)) != bytes.right(ChecksumBytes))
        return false;
    QByteArray expected;
    QDataStream key(&expected, QIODevice::WriteOnly);
    writeKey(key, recording);
    if (!bytes.startsWith(expected))
        return false;
    QDataStream stream(bytes.mid(expected.size()));
    RunSummary read;
    qint32 blocks = 0;
    qint32 tiles = 0;
    stream >> read.startTime >> read.tornLastRow >> blocks >> tiles;
    if (stream.status() != QDataStream::Ok || blocks < 0 || tiles < 0
        || qint64(tiles) * qint64(sizeof(RunSummary::Tile)) > bytes.size())
        return false;
    read.blocks.resize(blocks);
    for (RunSummary::Block &block : read.blocks) {
        stream >> block.offset >> block.firstRow >> block.rows >> block.firstTile >> block.shift
            >> block.first >> block.last;
        block.totals.load(stream);
        read.whole.append(block.totals);
        if (stream.status() != QDataStream::Ok)
            return false;
    }
    read.tiles.resize(tiles);
    const int tileBytes = int(tiles * sizeof(RunSummary::Tile));
    if (stream.readRawData(reinterpret_cast<char *>(read.tiles.data()), tileBytes) != tileBytes
        || !fits(read, recording.size()))
        return false;
    summary = read;
    return true;
}

bool saveTo(const QString &path, const QFileInfo &recording, const RunSummary &summary)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    writeKey(stream, recording);
    stream << summary.startTime << summary.tornLastRow << qint32(summary.blocks.size())
           << qint32(summary.tiles.size());
    for (const RunSummary::Block &block : summary.blocks) {
        stream << block.offset << block.firstRow << block.rows << block.firstTile << block.shift
               << block.first << block.last;
        block.totals.save(stream);
    }
    stream.writeRawData(reinterpret_cast<const char *>(summary.tiles.constData()),
        int(summary.tiles.size() * sizeof(RunSummary::Tile)));
    bytes += checksum(bytes);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

namespace RunSummaryCache {

QString fileFor(const QFileInfo &recording)
{
    const QByteArray key
        = QCryptographicHash::hash(recording.absoluteFilePath().toUtf8(), QCryptographicHash::Sha1);
    return folder() + QLatin1Char('/') + QString::fromLatin1(key.toHex()) + ".summary";
}

QString sidecarFor(const QFileInfo &recording)
{
    return recording.absoluteFilePath() + QStringLiteral(".summary");
}

bool load(const QFileInfo &recording, RunSummary &summary)
{
    return loadFrom(sidecarFor(recording), recording, summary)
        || loadFrom(fileFor(recording), recording, summary);
}

void forget(const QFileInfo &recording)
{
    QFile::remove(sidecarFor(recording));
    QFile::remove(fileFor(recording));
}

void save(const QFileInfo &recording, const RunSummary &summary)
{
    if (summary.blocks.isEmpty() || !QDir().mkpath(folder()))
        return;
    saveTo(fileFor(recording), recording, summary);
    prune();
}

bool saveSidecar(const QFileInfo &recording, const RunSummary &summary)
{
    return !summary.blocks.isEmpty() && saveTo(sidecarFor(recording), recording, summary);
}

} // namespace RunSummaryCache

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

// SHA-256 through libcrypto, which uses the processor's SHA instructions where
// there are any: several times the speed of Qt's own, so summing a recording
// keeps up with the disk.
class Sha256
{
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256 &) = delete;
    Sha256 &operator=(const Sha256 &) = delete;

    void add(QByteArrayView bytes);
    // 64 lowercase hex digits; the sum cannot be added to afterwards.
    QByteArray hex();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

struct FileSum
{
    QByteArray hex; // empty when the file could not be read to its end
    qint64 bytes = 0; // read
    QString error;    // why not, in the system's words
    bool stopped = false;
};

// Called after each block read, with the bytes read so far.
using SumProgress = std::function<void(qint64 bytesRead)>;

// The file's sum, read from the start in blocks of 1 MiB, so memory stays the
// same whatever its size. `stop`, when set, ends the reading early.
FileSum sumFile(const QString &path, const std::atomic_bool *stop = nullptr, const SumProgress &progress = {});

#include "fixity/Sha256.h"

#include "runner/RegularFile.h"

#include <openssl/evp.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

struct Sha256::State
{
    State() = default;
    ~State() { EVP_MD_CTX_free(context); }
    State(const State &) = delete;
    State &operator=(const State &) = delete;

    EVP_MD_CTX *context = EVP_MD_CTX_new();
};

Sha256::Sha256() : m_state(std::make_unique<State>())
{
    if (!m_state->context || EVP_DigestInit_ex(m_state->context, EVP_sha256(), nullptr) != 1)
        qFatal("SHA-256 is not available from libcrypto");
}

Sha256::~Sha256() = default;

void Sha256::add(QByteArrayView bytes)
{
    EVP_DigestUpdate(m_state->context, bytes.data(), size_t(bytes.size()));
}

QByteArray Sha256::hex()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_state->context, digest, &length);
    return QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex();
}

FileSum sumFile(const QString &path, const std::atomic_bool *stop, const SumProgress &progress)
{
    FileSum sum;
    // A FIFO put where the file was would hold the open, and the reading, for good.
    QFile file;
    if (!openRegularFile(file, path, QIODevice::ReadOnly, &sum.error))
        return sum;
    const int fd = file.handle();
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    Sha256 hash;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (;;) {
        if (stop && stop->load()) {
            sum.stopped = true;
            break;
        }
        const ssize_t got = ::read(fd, block.data(), size_t(block.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            sum.error = QString::fromLocal8Bit(std::strerror(errno));
            break;
        }
        if (got == 0) {
            sum.hex = hash.hex();
            break;
        }
        hash.add(QByteArrayView(block.constData(), got));
        sum.bytes += got;
        if (progress)
            progress(sum.bytes);
    }
    return sum;
}

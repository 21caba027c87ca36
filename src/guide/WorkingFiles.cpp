#include "WorkingFiles.h"

#include "common/TextCodec.h"
#include "runner/FileNames.h"

#include <QFile>
#include <QFileInfo>

TextFileRead readWorkingTextFile(const QString &name, qint64 maxBytes)
{
    TextFileRead read;
    const QString path = resolveFileName(name);
    QFileInfo info(path);
    info.setCaching(false);
    if (!info.exists()) {
        read.status = TextFileRead::Status::Missing;
        return read;
    }
    QFile file;
    if (!openRegularFile(file, path, QIODevice::ReadOnly, &read.error)) {
        read.status = TextFileRead::Status::Unreadable;
        return read;
    }
    const QByteArray bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        read.status = TextFileRead::Status::Unreadable;
        read.error = file.errorString();
        return read;
    }
    read.status = TextFileRead::Status::Ok;
    read.text = decodeText(bytes);
    return read;
}

bool removeWorkingFile(const QString &name, QString *error)
{
    // Several spellings of one name can lie side by side; the resolver gives
    // one at a time. The bound guards against a file that will not go away.
    for (int attempt = 0; attempt < 64; ++attempt) {
        const QString path = resolveFileName(name);
        QFileInfo info(path);
        info.setCaching(false);
        if (!info.exists() && !info.isSymLink())
            return true;
        if (!deleteFile(path, error))
            return false;
    }
    if (error)
        *error = QStringLiteral("Cannot delete %1").arg(name);
    return false;
}

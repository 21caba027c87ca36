#include "guide/WorkingFiles.h"

#include "common/TextCodec.h"
#include "runner/FileNames.h"
#include "runner/RegularFile.h"

#include <QFile>
#include <QFileInfo>

TextFileRead::Status openWorkingFile(const QString &name, QFile &file, QString *error)
{
    const QString path = resolveFileName(name);
    QFileInfo info(path);
    info.setCaching(false);
    if (!info.exists())
        return TextFileRead::Status::Missing;
    if (!openRegularFile(file, path, QIODevice::ReadOnly, error))
        return TextFileRead::Status::Unreadable;
    return TextFileRead::Status::Ok;
}

TextFileRead readWorkingTextFile(const QString &name, qint64 maxBytes)
{
    TextFileRead read;
    QFile file;
    read.status = openWorkingFile(name, file, &read.error);
    if (read.status != TextFileRead::Status::Ok)
        return read;
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
    // Several spellings of one name can lie side by side; each one goes, and
    // one that cannot be removed does not keep the others.
    bool removed = true;
    for (const QString &variant : nameVariants(name)) {
        QString why;
        if (deleteFile(variant, &why))
            continue;
        if (removed && error)
            *error = why;
        removed = false;
    }
    return removed;
}

#include "fixity/FixityCheck.h"

#include "fixity/Sha256.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// The file's size when a plain file is there (links followed); else the reason there is none.
qint64 plainFileSize(const QString &path, QString *reason)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        *reason = QStringLiteral("Not a plain file");
        return -1;
    }
    return qint64(st.st_size);
}

} // namespace

QString verdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Ok:
        return QStringLiteral("ok");
    case Verdict::Changed:
        return QStringLiteral("changed");
    case Verdict::Missing:
        return QStringLiteral("missing");
    case Verdict::Unchecked:
        break;
    }
    return QStringLiteral("unchecked");
}

QString FixityTally::text() const
{
    return QStringLiteral("%1 ok, %2 changed, %3 missing, %4 unchecked")
        .arg(of(Verdict::Ok))
        .arg(of(Verdict::Changed))
        .arg(of(Verdict::Missing))
        .arg(of(Verdict::Unchecked));
}

FixityResult checkRecording(const SavedRecording &recording, bool sumUnchecked, const std::atomic_bool *stop,
                            const std::function<void(qint64 bytesRead)> &bytesRead)
{
    FixityResult result{recording, Verdict::Missing, {}, {}};
    if (plainFileSize(recording.path, &result.reason) < 0)
        return result;
    // A damaged sum cannot vouch for the file, and summing the file anew would
    // hide that the record was damaged: it is told, never taken as unchecked.
    if (recording.sumDamaged) {
        result.verdict = Verdict::Changed;
        result.reason = QStringLiteral("The sum recorded for it is damaged");
        return result;
    }
    const bool unchecked = recording.sha256.isEmpty();
    if (unchecked && !sumUnchecked) {
        result.verdict = Verdict::Unchecked;
        return result;
    }
    const FileSum sum = sumFile(recording.path, stop, bytesRead);
    if (sum.stopped)
        return result; // not told: the caller stopped it
    // Not read to its end (a disk unplugged, a read error): its bytes are not
    // known to differ, but they cannot be had now; it is told with the reason.
    if (sum.hex.isEmpty()) {
        result.reason = QStringLiteral("Could not be read after %1 bytes: %2").arg(sum.bytes).arg(sum.error);
        return result;
    }
    result.sumNow = sum.hex;
    result.verdict = unchecked ? Verdict::Unchecked : sum.hex == recording.sha256 ? Verdict::Ok : Verdict::Changed;
    if (result.verdict == Verdict::Changed)
        result.reason = QStringLiteral("The file has changed since it was saved");
    return result;
}

qint64 bytesToRead(const QList<SavedRecording> &recordings, bool sumUnchecked)
{
    qint64 total = 0;
    QString reason;
    for (const SavedRecording &recording : recordings) {
        if (!recording.sumDamaged && (sumUnchecked || !recording.sha256.isEmpty()))
            total += std::max<qint64>(plainFileSize(recording.path, &reason), 0);
    }
    return total;
}

FixityCheck::FixityCheck(QList<SavedRecording> recordings, bool sumUnchecked, QObject *parent)
    : QObject(parent)
    , m_recordings(std::move(recordings))
    , m_sumUnchecked(sumUnchecked)
{
    // Emitted on the check's thread, received here on the owner's.
    connect(this, &FixityCheck::finished, this, [this] {
        if (m_thread.joinable())
            m_thread.join();
        m_running = false;
    });
}

FixityCheck::~FixityCheck()
{
    stop();
    if (m_thread.joinable())
        m_thread.join();
}

void FixityCheck::start()
{
    if (m_running)
        return;
    if (m_thread.joinable())
        m_thread.join();
    m_stop = false;
    m_running = true;
    m_thread = std::thread(&FixityCheck::run, this);
}

void FixityCheck::stop()
{
    m_stop = true;
}

void FixityCheck::run()
{
    const qint64 total = bytesToRead(m_recordings, m_sumUnchecked);
    qint64 done = 0;
    emit progress(0, total);
    for (const SavedRecording &recording : std::as_const(m_recordings)) {
        qint64 thisFile = 0;
        const FixityResult result = checkRecording(recording, m_sumUnchecked, &m_stop, [&](qint64 bytesRead) {
            thisFile = bytesRead;
            emit progress(std::min(done + thisFile, total), total);
        });
        if (m_stop)
            break;
        done += thisFile;
        emit checked(result);
    }
    emit finished(m_stop.load());
}

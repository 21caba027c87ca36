#pragma once

#include "archive/SavedRecords.h"

#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <thread>

// What reading a saved recording again tells about it.
enum class Verdict {
    Ok,        // its bytes are the ones summed when it was saved
    Changed,   // its sum differs (a file cut short or grown too), or its recorded sum is damaged
    Missing,   // nothing to read at its path, or it could not be read to its end
    Unchecked, // it is there, but no sum was recorded to check it against
};

QString verdictName(Verdict verdict);

struct FixityResult
{
    SavedRecording recording;
    Verdict verdict = Verdict::Unchecked;
    QString reason;    // why missing or changed, in plain words; empty for ok and unchecked
    QByteArray sumNow; // the file's sum as read now, when it was read whole
};

// How many recordings got each verdict.
struct FixityTally
{
    int counts[4] = {};

    void add(Verdict verdict) { ++counts[int(verdict)]; }
    int of(Verdict verdict) const { return counts[int(verdict)]; }
    // Nothing changed and nothing missing.
    bool allWell() const { return of(Verdict::Changed) == 0 && of(Verdict::Missing) == 0; }
    // "3 ok, 1 changed, 0 missing, 2 unchecked"
    QString text() const;
};

// Reads one recording's file again. A recording without a sum is only looked
// at, unless `sumUnchecked` asks for its sum as it is now. `bytesRead` is
// told the bytes of this file read so far.
FixityResult checkRecording(const SavedRecording &recording, bool sumUnchecked, const std::atomic_bool *stop,
                            const std::function<void(qint64 bytesRead)> &bytesRead = {});

// The bytes of the recordings that will be read, for the progress: the sizes of
// the files with a sum (and of those without, when they are summed too).
qint64 bytesToRead(const QList<SavedRecording> &recordings, bool sumUnchecked);

// Checks the recordings one after another on a thread of its own, reporting
// each verdict and the bytes read through signals received on the owner's
// thread. It only reads: no file and no record is ever changed by it. Stopped,
// or destroyed while it runs, it ends at the next block read.
class FixityCheck : public QObject
{
    Q_OBJECT

public:
    FixityCheck(QList<SavedRecording> recordings, bool sumUnchecked, QObject *parent = nullptr);
    ~FixityCheck() override;
    FixityCheck(const FixityCheck &) = delete;
    FixityCheck &operator=(const FixityCheck &) = delete;

    void start();
    void stop();
    bool isRunning() const { return m_running; }

signals:
    void checked(const FixityResult &result);
    // Every recording's bytes read so far, of all there are to read.
    void progress(qint64 done, qint64 total);
    // After the last verdict; `stopped` when not every recording was checked.
    void finished(bool stopped);

private:
    void run();

    QList<SavedRecording> m_recordings;
    bool m_sumUnchecked;
    bool m_running = false;
    std::atomic_bool m_stop{false};
    std::thread m_thread;
};

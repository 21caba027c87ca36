// Verify Saved Recordings: every saved recording read again off the window's
// thread, its progress in the strip; changed files marked as deleted ones are.
#include "common/UserMessage.h"
#include "mainwindow/Form1.h"
#include "progress/ProgressStrip.h"

#include <QAction>

namespace {

// The end message names this many changed or missing files at most.
constexpr qsizetype kMostNamed = 10;

QString verifyText()
{
    return QStringLiteral("Verify Saved Recordings");
}

} // namespace

void Form1::VerifySaved_Click()
{
    if (m_fixityCheck) {
        m_fixityCheck->stop();
        return;
    }
    m_verifyTally = {};
    m_verifyFindings.clear();
    m_fixityCheck = new FixityCheck(SavedRecords::loadAll().recordings, false, this);
    connect(m_fixityCheck, &FixityCheck::checked, this, &Form1::verifyChecked);
    connect(m_fixityCheck, &FixityCheck::finished, this, &Form1::verifyEnded);
    connect(m_fixityCheck, &FixityCheck::progress, this, [this](qint64 done, qint64 total) {
        if (DownloadInProgress) // the strip shows the download's title then
            return;
        if (done == 0)
            Progress->titleStarted(double(total));
        Progress->titleProgress(double(done));
    });
    mnuVerifySaved->setText(QStringLiteral("Stop Verifying"));
    m_fixityCheck->start();
}

void Form1::verifyChecked(const FixityResult &result)
{
    m_verifyTally.add(result.verdict);
    const bool changed = result.verdict == Verdict::Changed;
    // The mark shows as soon as a change is found, not only at the end.
    if (changed != m_changedFiles.contains(result.recording.path)) {
        if (changed)
            m_changedFiles.insert(result.recording.path);
        else
            m_changedFiles.remove(result.recording.path);
        showSavedMarks();
    }
    if (!result.reason.isEmpty())
        m_verifyFindings << QStringLiteral("%1: %2").arg(result.recording.path, result.reason);
}

void Form1::verifyEnded(bool stopped)
{
    m_fixityCheck->deleteLater();
    m_fixityCheck = nullptr;
    mnuVerifySaved->setText(verifyText());
    if (!DownloadInProgress)
        Progress->clear();
    showSavedMarks();
    QString text = (stopped ? QStringLiteral("Verifying was stopped. So far: %1.")
                            : QStringLiteral("Saved recordings verified: %1."))
                       .arg(m_verifyTally.text());
    if (!m_verifyFindings.isEmpty())
        text += QStringLiteral("\n\n") + m_verifyFindings.mid(0, kMostNamed).join(u'\n');
    if (m_verifyFindings.size() > kMostNamed)
        text += QStringLiteral("\n… and %1 more.").arg(m_verifyFindings.size() - kMostNamed);
    tellUser(text);
}

bool Form1::savedFileChanged(int row) const
{
    const SavedRecording *saved = savedRecording(row);
    return saved && m_changedFiles.contains(saved->path);
}

// The click of "Extract Mpeg(s)".
#include "download/DownloadSession.h"
#include "mainwindow/Form1.h"

void Form1::Extract_Click()
{
    // A second press during a session, or a press with nothing tagged at the
    // last click on the list, does nothing at all.
    if (DownloadInProgress || TaggedCount == 0)
        return;
    DownloadSession session(*this);
    session.run();
}

#pragma once

#include <QString>
#include <QStringList>

class QFontMetrics;
class QLineEdit;

// Names, titles and paths come from the recorder or the file system: a
// tooltip shows them as written, never read as markup ("<img src=/dev/zero>"
// is part of a name, not a picture to load). Line breaks and blanks are kept.
QString plainToolTip(const QString &text);

// The box shows every digit of its number, in a smaller face when the number
// is wider than the box, and the number in full in its tooltip.
void showNumberWhole(QLineEdit *box);

// The box shows the start of its text when it is wider than the box; with
// `tipIsText`, its tooltip gives the text in full.
void showTextFromStart(QLineEdit *box, bool tipIsText = false);

// Words and paths by turns (words, path, words, path...) fitted into `width`:
// the words stay whole, the paths are shortened in their middle, the longest
// first, so that the folder's own name at its end stays in view.
QString fitPathsBetweenWords(const QFontMetrics &metrics, const QStringList &wordsAndPaths, int width);

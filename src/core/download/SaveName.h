#pragma once

#include <QString>

#include <functional>

// The name a downloaded recording is kept under: the title without trailing
// blanks, "_", the recording date and ".mpg", with every "/", double quote, ":"
// and ";" turned into a blank so the name is a plain file name.
QString saveNameFor(const QString &title, const QString &recordDate);

// Tells whether a file of that name is already in the working directory.
using NameTakenTest = std::function<bool(const QString &name)>;

// The free-name search: name.mpg, then name_01.mpg ... name_04.mpg, the first
// one not taken; name_05.mpg when all five are taken (the rename then refuses
// it). Each check that finds its name taken replaces every occurrence of its
// search text, so a title that itself holds ".mpg" changes in both places.
QString chooseFreeName(QString name, const NameTakenTest &taken);

// The check the session gives chooseFreeName: any directory entry of that name,
// in any letter case, counts as taken, also one that cannot be read.
bool saveNameTaken(const QString &name);

// The same check inside the folder recordings are saved in; "" is the working folder.
NameTakenTest nameTakenIn(const QString &folder);

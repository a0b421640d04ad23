#pragma once
// Where the program keeps its motor list: the folder it is started in, as always; an installed
// program started elsewhere (from its desktop entry, say) works in a folder of the user's own.

#include <QString>

// The folder to work in. currentFolder when it holds "Liste Moteur.dat", or when no delivered
// catalogue lies in installedData (share/tarvello beside the executable). Otherwise
// dataHome/tarvello, created when missing, with "Liste Moteur.old" and "Liste Moteur.dat" copied
// from the delivered catalogue when they are missing; an existing list is never overwritten.
// Returns currentFolder when the user's folder cannot be prepared.
QString ChooseWorkingFolder(const QString& currentFolder, const QString& installedData, const QString& dataHome);

// The XDG data home: $XDG_DATA_HOME, else ~/.local/share.
QString UserDataHome();

#pragma once
// The program's icon, drawn in code (a rice plant over the water of a paddy) so that it
// needs no image plug-in; ui/resources/parvela.svg is the same picture for the desktop.

#include <QIcon>
#include <QPixmap>
#include <string>

namespace parvela {

QPixmap AppIconPixmap(int size);
QIcon AppIcon();
// Where SaveAppIconFile writes: "Parvela.ico" in the per-user cache directory
// ($XDG_CACHE_HOME/parvela/), never the current directory, which may be any folder of the
// user's (the home folder, for a start from the desktop's menu).
std::string AppIconFilePath();
// Writes the icon there, creating the directory (0700) when missing; a directory that cannot
// be written is no failure.
bool SaveAppIconFile();

} // namespace parvela

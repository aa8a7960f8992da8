#pragma once
// The program's icon, drawn in code (a rice plant over the water of a paddy) so that it
// needs no image plug-in; ui/resources/parvela.svg is the same picture for the desktop.

#include <QIcon>
#include <QPixmap>

namespace parvela {

QPixmap AppIconPixmap(int size);
QIcon AppIcon();
// Writes the icon as "Parvela.ico" into the current directory; a directory that cannot be
// written is no failure.
bool SaveAppIconFile();

} // namespace parvela

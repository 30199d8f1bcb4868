#include "platform/ui/screen_size.h"

#include "platform/base/error.h"

#include <QScreen>

QSize sizeOfScreen(const QScreen* screen)
{
    if (!screen)
        throw VelmoError("Aucun écran n'est disponible pour afficher la fenêtre");
    return screen->geometry().size();
}

QRect usualPlacement(const QRect& available, const QSize& least)
{
    const QSize size = (available.size() * 2 / 3).expandedTo(least).boundedTo(available.size());
    QRect placement(QPoint(), size);
    placement.moveCenter(available.center());
    return placement;
}

#include "ui/window/applicationicon.h"

// Resources of a static library need a call from outside any namespace.
static void InitResources()
{
    Q_INIT_RESOURCE(kestrune);
}

namespace kestrune {

QIcon ApplicationIcon()
{
    InitResources();
    QIcon icon;
    for (const char *file :
         {":/icons/kestrune-16-256.png", ":/icons/kestrune-16.png", ":/icons/kestrune-64.png"})
        icon.addFile(QLatin1String(file));
    return icon;
}

} // namespace kestrune

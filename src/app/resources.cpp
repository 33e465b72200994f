#include "app/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initAhnemetriResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace app {
void initResources()
{
    initAhnemetriResources();
}
} // namespace app

// Registration of the resources compiled from res/ (they live in a static library).

#include <QtGlobal>

#include "ui/common/resource_names.h"

void InitChronaraResources() {
    Q_INIT_RESOURCE(chronara_resources);
    Q_INIT_RESOURCE(chronara_hidpi_resources);
}

void CleanupChronaraResources() {
    Q_CLEANUP_RESOURCE(chronara_resources);
    Q_CLEANUP_RESOURCE(chronara_hidpi_resources);
}

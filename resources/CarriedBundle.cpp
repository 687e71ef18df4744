// Registration of the carried-file bundle with Qt's resource system.
#include "CarriedBundle.h"

#include <QResource>

extern "C" const unsigned char asmora_carried_bundle[];

namespace asmora::resources {

void registerCarriedFiles() {
    static const bool registered = QResource::registerResource(asmora_carried_bundle);
    (void)registered;
}

}  // namespace asmora::resources

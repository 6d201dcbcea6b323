#include "platform/Notify.h"

namespace platform {

NotifyTarget::~NotifyTarget() = default;

} // namespace platform

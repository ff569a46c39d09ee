// Handlers whose commands are not built yet. Each is removed from here when its command is written.
#include "window/my_frame.h"


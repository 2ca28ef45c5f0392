#pragma once

#include "platform/compat/Application.h"

namespace app {

// The application object. It handles none of the application events: the framework's defaults
// do all it needs.
class App : public platform::Application {};

} // namespace app

#pragma once

#include "platform/compat/Application.h"

namespace app {

// The application object. Deliberately empty: it handles none of the application events, the
// framework's defaults do all it needs.
class App : public platform::Application {};

} // namespace app

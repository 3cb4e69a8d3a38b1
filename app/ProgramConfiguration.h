// The test configuration of the run: one record, zero and empty until a configuration is
// loaded; the loader fills it, the evaluation reads it, and the configuration file chosen
// last is shared by the loader and the configuration editor.
#pragma once

#include "TestConfiguration.h"

namespace app {

tarni::TestConfiguration& Configuration();

// Back to zero and empty, as at start-up.
void ResetConfiguration();

}  // namespace app

#include "ProgramConfiguration.h"

namespace app {

tarni::TestConfiguration& Configuration() {
  static tarni::TestConfiguration configuration;
  return configuration;
}

void ResetConfiguration() { Configuration() = {}; }

}  // namespace app

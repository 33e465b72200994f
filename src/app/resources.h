#pragma once

namespace app {
// Registers the compiled-in pictures; the library's resources are otherwise dropped at link time.
void initResources();
} // namespace app

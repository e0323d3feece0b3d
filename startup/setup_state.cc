#include "startup/setup_state.h"

#include <string.h>

namespace setup {
namespace {
SetupState g_state;
Platform* g_platform = nullptr;
}  // namespace

SetupState& State() { return g_state; }

void ResetState() { memset(&g_state, 0, sizeof g_state); }

Platform& Sys() { return *g_platform; }

void SetPlatform(Platform* platform) { g_platform = platform; }

}  // namespace setup

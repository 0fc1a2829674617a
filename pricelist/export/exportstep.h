#pragma once
// Called by the writers once per product written; throws (SilentAbort) to stop an export
// that the user cancelled.

#include <functional>

using ExportStep = std::function<void()>;

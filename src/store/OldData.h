#pragma once

// What the startup's routines share about the old file whose cards an upgrade copies: this
// program's earlier SQLite files and the old program's Access (Jet) files alike.
#include "jet/JetReader.h"

namespace store {

struct StartupContext;
enum class UpgradeStep;

// The reader of Access (Jet) files: the context's, or the one installed beside the program.
jet::Reader JetReaderOf(const StartupContext& cx);

// Tells the program that the upgrade has reached `step` (tests stop it there).
void ReachedStep(StartupContext& cx, UpgradeStep step);

} // namespace store

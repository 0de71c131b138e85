// Putting the registry back as the installation log says it was before the
// installation: each record's action, first to last, and whether the state
// a record describes holds afterwards.
#pragma once

#include "inslog.h"

#include <string>
#include <vector>

namespace uninst {

// The action of every record of the log, first to last. With `notRestored`,
// each record whose state does not hold once its action is done (a key
// still there, a value not as it was) is named there ("HKCU\\Key\\Value").
// Raises the registry error of a write that fails, which ends the pass.
void RestoreRegistry(const inslog::TInsLog& log, std::vector<std::string>* notRestored = nullptr);

// Whether the state a record describes holds now.
bool RecordHolds(const inslog::TUninsRegObject& object);

}  // namespace uninst

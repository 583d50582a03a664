#pragma once
// The qv-tool commands; each returns the process exit code.

#include <string>
#include <vector>

namespace qvtool {}

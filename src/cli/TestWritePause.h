#pragma once
// A hook for the tests of two processes at once, which must stop a boost
// between two known writes: timing alone cannot place a restore or a kill
// there. Built only with the tests, and only when FERROWINDER_TEST_WRITE_LOG
// names a file: then each value written or deleted adds one line to that file,
// and after the Nth, while "<file>.hold" exists and holds the number N, the
// tool waits before going on. Otherwise (always, for users) the backend is
// returned as it is.
#include <memory>

#include "registry/RegistryBackend.h"

namespace ferro {

std::unique_ptr<RegistryBackend> withTestWritePause(std::unique_ptr<RegistryBackend> backend);

}  // namespace ferro

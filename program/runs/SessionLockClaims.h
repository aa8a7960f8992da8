#pragma once
// Run claims on PostgreSQL: an advisory lock of the database session per assessment, which
// the server releases when the session ends, however its program ends. RUNCLAIMS keeps the
// generations and the holders' details. Used from one thread.

#include "program/runs/RunClaims.h"

#include <memory>

namespace parvela {

class TDACDatabase;

std::unique_ptr<TRunClaims> CreateSessionLockClaims(TDACDatabase& database);

} // namespace parvela

#pragma once
// The one throw-away server of a server test run.

#include <QString>

#include "tests/archive/PostgresServer.h"

namespace uroflow::test {

// Started on first use; null, with the reason, where PostgreSQL is not installed.
PostgresServer* sharedServer(QString& skipReason);

}  // namespace uroflow::test

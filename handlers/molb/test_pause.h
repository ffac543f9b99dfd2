#pragma once
// A hook for crash tests: when DBSCOUT_MOLB_TEST_PAUSE names stage, the process says so on
// standard error and waits there until it is killed, so a test can kill it at that exact point
// (inside a transaction) instead of guessing a moment.

namespace Dbscout::Molb {

void pauseForTest(const char* stage);

} // namespace Dbscout::Molb

#pragma once
// The Qt pieces every widget test needs.

namespace testsupport {

// Creates the one QApplication of the test program (offscreen in CI).
void EnsureQtApp();
// Lets queued calls, deferred deletions and closed documents go.
void Settle();

}  // namespace testsupport

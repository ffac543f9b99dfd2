// Linked into the test programs that run against the PostgreSQL server instead of local stores.

#include "server_store.h"

namespace {

const bool kServerStore = (MolbTest::enableServerStore(), true);

} // namespace

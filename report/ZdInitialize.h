#pragma once
// One call that registers every built-in control class and exporter, so
// that templates can name them and exports can find them. The registries
// also register them on first use; calling this first makes the moment
// explicit. Idempotent and cheap after the first call.

namespace zd {

void ZdInitialize();

}  // namespace zd

#pragma once

#include "invocation.h"

namespace telvor {

// telvorctl export FILE [-o OUT.yaml]: the whole settings document, on
// standard output unless -o names a file.
int runExport(const Invocation& invocation);

// telvorctl import DOC... -o OUT [--base BASE]: the documents applied in
// order onto the base (the factory defaults unless --base); OUT is written
// only when every document applies.
int runImport(const Invocation& invocation);

// telvorctl set FILE PATH=VALUE... [-o OUT]: one-line changes, written back
// to FILE unless -o names another file.
int runSet(const Invocation& invocation);

} // namespace telvor

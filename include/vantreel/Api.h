#pragma once

// Marks what the shared library exports: the public classes and their
// errors. Everything else the library holds stays hidden from hosts.
#define VANTREEL_API __attribute__((visibility("default")))

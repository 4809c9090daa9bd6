// A shared object that loads but is no plug-in: it lacks the entry point.

extern "C" __attribute__((visibility("default"))) int VantreelSomethingElse() {
    return 1;
}

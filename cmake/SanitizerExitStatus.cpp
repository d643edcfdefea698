// Linked into every program of a sanitized build (cmake/Sanitizers.cmake): the
// sanitizers' runtime reads these settings before anything in the environment.
extern "C" {

const char* __asan_default_options() {
    return "exitcode=86";
}
const char* __ubsan_default_options() {
    return "exitcode=86:print_stacktrace=1";
}
const char* __lsan_default_options() {
    return "exitcode=86";
}
}

#pragma once

// Output of the message layer. The codec's failures are printed lines and the field accessors' misuse
// is logged; both reach the platform console so tests can read them.
class NanoLog {
public:
    // printf-style; a trailing newline is dropped since the console ends every line itself.
    static void print(const char* format, ...) __attribute__((format(printf, 1, 2)));
};

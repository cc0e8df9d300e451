#pragma once

#include <cstddef>

// The program's standard input (or another stream it did not open), read as
// it comes: a pipe may take its time, a terminal may hang up. input names it
// as the C library does (0 for standard input).
struct InputRead {
    std::ptrdiff_t count = 0; // bytes read; 0: the input ended; < 0: it failed
    int error = 0;            // why it failed: the system's error
    bool nothingYet() const;  // failed only for now: nothing to read yet
};
// One read of at most size bytes, into into; it waits only when nothing is
// there yet and the input is one that waits.
InputRead readInput(int input, char *into, std::size_t size);
// Whether input is a terminal, and whether that terminal hung up (rather
// than being ended by its end-of-input key).
bool isTerminal(int input);
bool terminalHungUp(int input);

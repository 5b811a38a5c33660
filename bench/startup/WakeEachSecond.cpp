// The idle bench's floor: a process that does nothing but wake once a second, as the program's
// one-second tick does. What it costs is the machine's price of a wake-up alone (a timer
// interrupt, two context switches, and on a virtual machine the exits they take), which no
// program with a ticking clock can go below.
#include <poll.h>

int main() {
    for (;;) {
        poll(nullptr, 0, 1000);
    }
}

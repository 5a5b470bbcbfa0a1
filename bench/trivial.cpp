// SPDX-License-Identifier: MIT
// The headless baseline: a C++ program that prints one line and ends.
#include <iostream>

int main() {
    std::cout << "{}\n";
    return 0;
}

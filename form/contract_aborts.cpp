// SPDX-License-Identifier: MIT
// The contract failure of builds without exceptions (the WebAssembly core).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "form/contract.hpp"

namespace lenstally {

void ContractFailure(ContractBreach /*breach*/, const std::string& what) {
    const std::string line = "lenstally: internal error: " + what + "\n";
    std::fputs(line.c_str(), stderr);
    std::abort();
}

} // namespace lenstally

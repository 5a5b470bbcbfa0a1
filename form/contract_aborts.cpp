// SPDX-License-Identifier: MIT
// The contract failure of builds without exceptions (the WebAssembly core).
#include <cstdio>
#include <cstdlib>

#include "form/contract.hpp"

namespace lenstally {

void ContractFailure(ContractBreach /*breach*/, const std::string& what) {
    std::fprintf(stderr, "lenstally: internal error: %s\n", what.c_str());
    std::abort();
}

} // namespace lenstally

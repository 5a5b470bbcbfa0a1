// SPDX-License-Identifier: MIT
// The contract failure of builds with exceptions.
#include <stdexcept>

#include "form/contract.hpp"

namespace lenstally {

void ContractFailure(ContractBreach breach, const std::string& what) {
    if (breach == ContractBreach::NoSuchItem) {
        throw std::out_of_range(what);
    }
    throw std::invalid_argument(what);
}

} // namespace lenstally

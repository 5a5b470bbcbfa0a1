// SPDX-License-Identifier: MIT
#pragma once
// What the core does when a caller breaks an internal contract (a text written into a label, an
// item a list does not have): a programming error, never a user's input. Builds with exceptions
// throw (contract_throws.cpp), so tests can see the guard; builds without them abort
// (contract_aborts.cpp). The build picks the file.

#include <string>

namespace lenstally {

enum class ContractBreach {
    WrongControl, // an operation on a control of the wrong kind (std::invalid_argument)
    NoSuchItem,   // a list position the control does not have (std::out_of_range)
    Geometry,     // a polygon operation given shapes it cannot work with (std::invalid_argument)
};

/// Never returns: throws the exception named beside `breach`, with `what` as its message, or
/// writes `what` to standard error and aborts.
[[noreturn]] void ContractFailure(ContractBreach breach, const std::string& what);

} // namespace lenstally

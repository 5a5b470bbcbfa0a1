// SPDX-License-Identifier: MIT
// Boost's headers are built with BOOST_NO_EXCEPTIONS: where Boost would throw (an overlay that
// meets shapes it cannot work with, an allocation the index cannot make), it calls these instead,
// and they end in the core's contract failure, which throws where the build has exceptions and
// aborts where it has none.
#include <boost/throw_exception.hpp>
#include <exception>
#include <string>

#include "form/contract.hpp"

namespace boost {

void throw_exception(const std::exception& e) {
    lenstally::ContractFailure(lenstally::ContractBreach::Geometry,
                               std::string("site geometry: ") + e.what());
}

void throw_exception(const std::exception& e, const boost::source_location& /*where*/) {
    throw_exception(e);
}

} // namespace boost

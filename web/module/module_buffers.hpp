// SPDX-License-Identifier: MIT
#pragma once
// The buffers a module and its host pass texts through. The host asks lenstally_input for a
// buffer, writes a request's UTF-8 text into it, calls one of the module's functions with the
// text's size, and reads the answer from lenstally_output and lenstally_output_size (and, after a
// run, what the command line would have written to standard error from lenstally_errors and
// lenstally_errors_size). Answers stay valid until the next call.

#include <cstddef>
#include <string>
#include <string_view>

namespace lenstally::web {

/// The request the host wrote: the first `size` bytes of the input buffer.
std::string_view requestText(std::size_t size);

/// Makes `output` and `errors` the answer the host reads next.
void setAnswer(std::string output, std::string errors);

} // namespace lenstally::web

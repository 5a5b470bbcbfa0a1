// SPDX-License-Identifier: MIT
// The module's C interface. The host asks lenstally_input for a buffer, writes a request's UTF-8
// text into it, calls one function with the text's size, and reads the answer from
// lenstally_output and lenstally_output_size (and, after a run, what the command line would
// have written to standard error from lenstally_errors and lenstally_errors_size). Answers stay
// valid until the next call.

#include <cstddef>
#include <string>

#include "web/module/page_session.hpp"

namespace {

// The one place the module keeps state between calls: a reactor's exports share it.
struct ModuleState {
    std::string input;
    std::string output;
    std::string errors;
    lenstally::web::PageSession page;
};

ModuleState& state() {
    static ModuleState s;
    return s;
}

} // namespace

extern "C" {

__attribute__((export_name("lenstally_input"))) char* lenstally_input(std::size_t size) {
    state().input.resize(size);
    return state().input.data();
}

__attribute__((export_name("lenstally_output"))) const char* lenstally_output() {
    return state().output.data();
}

__attribute__((export_name("lenstally_output_size"))) std::size_t lenstally_output_size() {
    return state().output.size();
}

__attribute__((export_name("lenstally_errors"))) const char* lenstally_errors() {
    return state().errors.data();
}

__attribute__((export_name("lenstally_errors_size"))) std::size_t lenstally_errors_size() {
    return state().errors.size();
}

/// Answers the page's request (see PageSession::answer); the answer is the output.
__attribute__((export_name("lenstally_page"))) void lenstally_page(std::size_t size) {
    ModuleState& s = state();
    s.errors.clear();
    s.output = s.page.answer(std::string_view(s.input.data(), size));
}

} // extern "C"

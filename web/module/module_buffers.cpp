// SPDX-License-Identifier: MIT
#include "web/module/module_buffers.hpp"

#include <utility>

namespace lenstally::web {
namespace {

struct Buffers {
    std::string input;
    std::string output;
    std::string errors;
};

Buffers& buffers() {
    static Buffers b;
    return b;
}

} // namespace

std::string_view requestText(std::size_t size) {
    return {buffers().input.data(), size};
}

void setAnswer(std::string output, std::string errors) {
    buffers().output = std::move(output);
    buffers().errors = std::move(errors);
}

} // namespace lenstally::web

extern "C" {

__attribute__((export_name("lenstally_input"))) char* lenstally_input(std::size_t size) {
    lenstally::web::buffers().input.resize(size);
    return lenstally::web::buffers().input.data();
}

__attribute__((export_name("lenstally_output"))) const char* lenstally_output() {
    return lenstally::web::buffers().output.data();
}

__attribute__((export_name("lenstally_output_size"))) std::size_t lenstally_output_size() {
    return lenstally::web::buffers().output.size();
}

__attribute__((export_name("lenstally_errors"))) const char* lenstally_errors() {
    return lenstally::web::buffers().errors.data();
}

__attribute__((export_name("lenstally_errors_size"))) std::size_t lenstally_errors_size() {
    return lenstally::web::buffers().errors.size();
}

} // extern "C"

// SPDX-License-Identifier: MIT
#pragma once
// A calculator run without a window: actions applied in order to the form as it opens, then its
// results written for people, as JSON or as every control's state. This is what `lenstally
// [ACTION...]` does once its arguments are parsed, and what any other face of the calculator
// calls to give the very same output.

#include <span>
#include <string>
#include <string_view>

#include "form/form1.hpp"

namespace lenstally {

enum class RunOutput {
    Text,  // a few lines for people
    Json,  // the frame size and the three result captions as one JSON object
    State, // every control with its state, as one JSON object
};

/// One action as the command line names it: the option without its dashes, and its value.
struct ActionArgument {
    std::string option; // "stream", "cameras", ...
    std::string value;  // "h264", "12", any text for a text box
};

/// Exit status of a run whose results are all computed, and of one with an "Out of range".
inline constexpr int kRunComputed = 0;
inline constexpr int kRunOutOfRange = 1;
/// Exit status of a usage error: one line on the error stream, nothing on the output.
inline constexpr int kUsageError = 2;

/// Checks every action's value first, so that a bad one writes one line to `err`, nothing to
/// `out`, and returns kUsageError; then loads a form, applies the actions in the order given and
/// writes `output` to `out`. Returns kRunOutOfRange when a result reads "Out of range".
/// Example: RunActions({{"stream", "h264"}, {"cameras", "12"}}, RunOutput::Json, out, err).
int RunActions(std::span<const ActionArgument> actions, RunOutput output, std::string& out,
               std::string& err);

/// "Average Frame Size: 13.71428 KB" and the three results, one line each.
void WriteRunText(const Form1& form, std::string& out);
/// {"txtFrameSize":...,"lbPerBandwidth":...,"lbTotalBandwidth":...,"lbStorageSize":...}
void WriteRunJson(const Form1& form, std::string& out);
/// Every control by name with its kind, container, visibility, position and content.
void WriteRunState(const Form1& form, std::string& out);
/// kRunOutOfRange when one of the three results reads "Out of range", else kRunComputed.
int RunStatus(const Form1& form);

/// The length of the valid UTF-8 sequence `text` starts with (1 to 4; 1 for ASCII), or 0 when it
/// starts with a byte no valid sequence starts with there (a stray continuation byte, an overlong
/// form, a surrogate, a code point above U+10FFFF, or a sequence cut short).
std::size_t Utf8SequenceLength(std::string_view text);

/// `value` for quoting in a one-line message, the one function every message that quotes what a
/// user gave goes through: line feeds and tabs as \n and \t, other control characters and every
/// byte that is not part of valid UTF-8 as \xNN (lower-case hex), everything else as it is. The
/// message is valid UTF-8 whatever it quotes, so every build (and the module's UTF-8 strings)
/// carry the same bytes. Example: PrintableText("\xC3(") is "\\xc3(".
std::string PrintableText(std::string_view value);

} // namespace lenstally

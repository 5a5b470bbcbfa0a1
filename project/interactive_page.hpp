// SPDX-License-Identifier: MIT
#pragma once
// The browser edition with a project built in: a copy of lenstally.html that opens on that
// project, so that anyone can open a plan and try changes on it, on any system, offline.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lenstally {

/// `page` (the text of lenstally.html) with `projectFile` (the text of a project file) built in:
/// a <script type="application/json" id="lenstally-project"> element just before the page's
/// script (<script id="lenstally-script">), replacing one the page already holds. Every "<" of the
/// project is written \u003c, which JSON reads as the same character, so the text can never end the
/// element early. With `group`, the element says which group the page opens on (data-group="2",
/// counted from 0), the one selected when the page was made. nullopt when `page` has no such script
/// (it is not the browser edition).
std::optional<std::string> PageWithProject(std::string_view page, std::string_view projectFile,
                                           std::optional<std::size_t> group = std::nullopt);

} // namespace lenstally
